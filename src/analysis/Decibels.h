#pragma once

#include <bit>
#include <cstdint>

// Lowest power the spectrum shows: -300 dB, so an empty bin stays a finite number.
constexpr double PowerFloor = 1e-30;

// 10 log10(power) for a whole spectrum in a fraction of the library logarithm's time:
// the exponent comes from the bits, the mantissa (kept within sqrt(1/2)..sqrt(2)) goes
// through the atanh series. Error below 1e-8 dB. Powers under the floor (and NaN) give
// the floor's -300 dB.
inline double PowerToDb(double power)
{
    const double p = power > PowerFloor ? power : PowerFloor;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(p);
    constexpr std::uint64_t sqrtHalfBits = 0x3FE6A09E667F3BCDull;
    const std::int64_t exponent = std::int64_t(bits - sqrtHalfBits) >> 52;
    const double m = std::bit_cast<double>(bits - (std::uint64_t(exponent) << 52));
    const double s = (m - 1.0) / (m + 1.0);
    const double s2 = s * s;
    const double lnM = s * (2.0 + s2 * (2.0 / 3 + s2 * (2.0 / 5 + s2 * (2.0 / 7 + s2 * (2.0 / 9)))));
    constexpr double dbPerNeper = 4.342944819032518;   // 10 / ln 10
    constexpr double ln2 = 0.6931471805599453;
    return dbPerNeper * (lnM + double(exponent) * ln2);
}
