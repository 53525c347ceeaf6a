#include "Decibels.h"

#include <cstring>

namespace {

using Four = double __attribute__((vector_size(32)));
using FourF = float __attribute__((vector_size(16)));
using Eight = float __attribute__((vector_size(32)));
using EightI = std::int32_t __attribute__((vector_size(32)));

} // namespace

// PowerToDb eight bins at a time, all in single precision up to the last step: the
// mantissa's logarithm and the exponent come from the float's own bits (a float holds
// 1e-30 and has the 24 bits the series needs), and only the final sum is done in double.
[[gnu::target_clones("avx2", "default")]]
void PowersToDb(const double* power, double* db, std::size_t count)
{
    constexpr float sqrt2 = 1.41421356f;
    constexpr double dbPerNeper = 4.342944819032518, ln2 = 0.6931471805599453;
    const Four floor = {PowerFloor, PowerFloor, PowerFloor, PowerFloor};
    std::size_t k = 0;
    for (; k + 8 <= count; k += 8) {
        Four a, b;
        std::memcpy(&a, power + k, sizeof a);
        std::memcpy(&b, power + k + 4, sizeof b);
        a = a > floor ? a : floor;   // also NaN
        b = b > floor ? b : floor;
        const Eight p = __builtin_shufflevector(__builtin_convertvector(a, FourF), __builtin_convertvector(b, FourF),
                                                0, 1, 2, 3, 4, 5, 6, 7);
        EightI bits;
        std::memcpy(&bits, &p, sizeof bits);
        const EightI mantissaBits = (bits & 0x007FFFFF) | 0x3F800000;
        Eight m;
        std::memcpy(&m, &mantissaBits, sizeof m);
        const Eight exponent = __builtin_convertvector((bits >> 23) - 127, Eight);
        const Eight s = (m - sqrt2) / (m + sqrt2);
        const Eight s2 = s * s;
        const Eight atanh2 = s * (2.0f + s2 * (2.0f / 3 + s2 * (2.0f / 5 + s2 * (2.0f / 7 + s2 * (2.0f / 9)))));
        const Eight neper = atanh2 + (exponent + 0.5f) * float(ln2);
        const Four lo = __builtin_convertvector(__builtin_shufflevector(neper, neper, 0, 1, 2, 3), Four) * dbPerNeper;
        const Four hi = __builtin_convertvector(__builtin_shufflevector(neper, neper, 4, 5, 6, 7), Four) * dbPerNeper;
        std::memcpy(db + k, &lo, sizeof lo);
        std::memcpy(db + k + 4, &hi, sizeof hi);
    }
    for (; k < count; ++k)
        db[k] = PowerToDb(power[k]);
}
