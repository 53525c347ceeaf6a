#include "Decibels.h"

#include <cstring>

[[gnu::target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")]]
void PowersToDb(const double* power, double* db, std::size_t count)
{
    using Eight = double __attribute__((vector_size(64)));
    using EightBits = std::uint64_t __attribute__((vector_size(64)));
    std::size_t k = 0;
    // Stores on whole cache lines (the caller's buffer may start anywhere).
    for (; k < count && reinterpret_cast<std::uintptr_t>(db + k) % 64 != 0; ++k)
        db[k] = PowerToDb(power[k]);
    for (; k + 8 <= count; k += 8) {
        Eight p;
        std::memcpy(&p, power + k, sizeof p);
        const Eight d = decibels::Db<Eight, EightBits>(p);
        std::memcpy(db + k, &d, sizeof d);
    }
    for (; k < count; ++k)
        db[k] = PowerToDb(power[k]);
}
