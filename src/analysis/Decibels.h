#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

// Lowest power the spectrum shows: -300 dB, so an empty bin stays a finite number.
constexpr double PowerFloor = 1e-30;

// 10 log10(power) for a whole spectrum in a fraction of the library logarithm's time.
// power = m 2^e with m in 1..2; ln m = ln sqrt2 + 2 atanh((m - sqrt2) / (m + sqrt2)),
// whose argument stays within +-0.172, so five series terms leave the error to the
// arithmetic: the mantissa's part is worked in single precision (its division is the
// loop's cost), which keeps the error below 1e-5 dB here and below 1e-4 dB in the
// all-single PowersToDb.
// No branches and no integer-to-double conversion (the exponent goes through the 2^52
// trick), so a loop of these runs at full speed. Powers under the floor (and NaN) give
// the floor's -300 dB.
inline double PowerToDb(double power)
{
    const double p = std::max(PowerFloor, power);
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(p);
    const float m = float(std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFFull) | 0x3FF0000000000000ull));
    const double exponent =
        std::bit_cast<double>((bits >> 52) | 0x4330000000000000ull) - 4503599627371519.0;   // 2^52 + 1023
    constexpr float sqrt2 = 1.41421356f;
    const float s = (m - sqrt2) / (m + sqrt2);
    const float s2 = s * s;
    const float atanh2 = s * (2.0f + s2 * (2.0f / 3 + s2 * (2.0f / 5 + s2 * (2.0f / 7 + s2 * (2.0f / 9)))));
    constexpr double dbPerNeper = 4.342944819032518;   // 10 / ln 10
    constexpr double ln2 = 0.6931471805599453;
    return dbPerNeper * (double(atanh2) + (exponent + 0.5) * ln2);
}

// PowerToDb over a whole spectrum, eight bins at a time; built for AVX2 as well and
// picked at load time.
void PowersToDb(const double* power, double* db, std::size_t count);
