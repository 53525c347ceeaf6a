#pragma once

#include "config/Settings.h"

#include <utility>
#include <vector>

// Codes to volts over the configured input range: the span is divided into 2^bits
// steps, and two's-complement codes are first mapped to their offset-binary equivalent.
void ConvertToVolts(const Settings& s, const std::vector<double>& codes, std::vector<double>& volts);

// The largest and smallest element, both starting at the first one. Raises error 9 for
// an empty block.
std::pair<double, double> MaxMin(const std::vector<double>& data);

// The spectrum's top limit: the largest bin, or 0 dB when every bin is below it.
double SpectrumTop(const std::vector<double>& spectrum);
