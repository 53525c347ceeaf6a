#pragma once

#include <QString>
#include <cstdint>

// The values the board and the program can work with. A configuration file or a stored
// value outside its range is refused before anything computes with it.
namespace ValueRange {
constexpr int MinBits = 1, MaxBits = 16;                   // the board's data word is 16 bits
constexpr int MinExponent = 0, MaxExponent = 5;            // blocks of 256 to 8192 samples
constexpr std::int32_t MinFrequency = 611;                 // slowest the 16-bit timer counts at 40 MHz
constexpr std::int32_t MaxFrequency = 40000000;            // one crystal period per sample
constexpr double MaxVolts = 1000;                          // input range ends within +/-1000 V
}

// True when value lies in [low, high]; never for NaN.
constexpr bool InRange(double value, double low, double high) { return value >= low && value <= high; }

// The nearest block-length exponent the board can deliver (0 to 5, so 256 to 8192 samples).
std::int16_t DeliverableExponent(std::int16_t exponent);

// "from 1 to 16" and the like, for messages.
QString RangeText(double low, double high);
