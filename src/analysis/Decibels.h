#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Lowest power the spectrum shows: -300 dB, so an empty bin stays a finite number.
constexpr double PowerFloor = 1e-30;

namespace decibels {

template <class To, class From>
inline To SameBits(From from)
{
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

// 10 log10(1 + f) / f for sqrt(1/2) - 1 <= f < sqrt(2) - 1: a degree-6 polynomial through
// the Chebyshev nodes of that interval, within 2e-6 dB of the true value.
constexpr double dbPerNeper = 4.342944819032518;   // 10 / ln 10
constexpr double Series[] = {
    1.0000010273533488 * dbPerNeper,  -0.5000087739481975 * dbPerNeper,  0.3331356328616606 * dbPerNeper,
    -0.2492033626466395 * dbPerNeper, 0.20525443619694228 * dbPerNeper,  -0.18573840134017477 * dbPerNeper,
    0.11657806143449854 * dbPerNeper};
constexpr int Degree = 6;

// 10 log10(power) for a double. power = m 2^e with m in sqrt(1/2)..sqrt(2), taken from the bits: adding
// 2^52 - the bits of sqrt(1/2) carries into the exponent exactly when the mantissa is
// past sqrt(2). No branch, no division and no integer conversion (the exponent goes
// through the 2^52 trick), so a loop of these vectorises fully. Powers under the floor
// (and NaN) give the floor's -300 dB.
template <class Real, class Bits>
inline Real Db(Real power)
{
    const Real p = power > PowerFloor ? power : PowerFloor;
    const Bits bits = SameBits<Bits>(p);
    const Bits exponent = (bits + 0x00095F619980C433ull) >> 52;
    const Real f = SameBits<Real>(bits - (exponent << 52) + 0x3FF0000000000000ull) - 1.0;
    const Real e = SameBits<Real>(exponent | 0x4330000000000000ull) - 4503599627371519.0;   // 2^52 + 1023
    Real series = f * Series[Degree] + Series[Degree - 1];
    for (int i = Degree - 2; i >= 0; --i)
        series = series * f + Series[i];
    constexpr double dbPerOctave = 3.010299956639812;   // 10 log10 2
    return f * series + e * dbPerOctave;
}

} // namespace decibels

inline double PowerToDb(double power)
{
    return decibels::Db<double, std::uint64_t>(power);
}

// PowerToDb over a whole spectrum, in one loop the compiler vectorises.
void PowersToDb(const double* power, double* db, std::size_t count);
