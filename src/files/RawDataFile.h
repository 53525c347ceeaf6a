#pragma once

#include <QByteArray>
#include <cstdint>
#include <vector>

// Raw data files: one converter code per line as "0.000000", CR LF after every line.
// FFT data files share the layout: one spectrum bin in dB per line, bin 0 first.

// The block-length exponent for a file of valueCount values: log2(valueCount / 256) rounded
// half to even into 16 bits.
std::int16_t BlockExponentFor(qsizetype valueCount);

// The lines of a data file holding values(0) .. values(count - 1); count is at most the
// number of values held.
QByteArray DataFileContent(const std::vector<double>& values, qsizetype count);
