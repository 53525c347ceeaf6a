#include "Decibels.h"

#include "Lanes.h"

namespace {

template <class V>
[[gnu::always_inline]] inline void PowersToDbOf(const double* power, double* db, std::size_t count)
{
    constexpr std::size_t lanes = Lanes<V>::count;
    std::size_t k = 0;
    // Stores that do not straddle cache lines (the caller's buffer may start anywhere).
    for (; k < count && reinterpret_cast<std::uintptr_t>(db + k) % sizeof(V) != 0; ++k)
        db[k] = PowerToDb(power[k]);
    for (; k + lanes <= count; k += lanes)
        StoreLanes(db + k, decibels::Db<V, typename Lanes<V>::Bits>(LoadLanes<V>(power + k)));
    for (; k < count; ++k)
        db[k] = PowerToDb(power[k]);
}

[[gnu::target("arch=x86-64-v4")]] void PowersToDbHere(const double* power, double* db, std::size_t count)
{
    PowersToDbOf<Eight>(power, db, count);
}

[[gnu::target("arch=x86-64-v3")]] void PowersToDbHere(const double* power, double* db, std::size_t count)
{
    PowersToDbOf<Four>(power, db, count);
}

[[gnu::target("default")]] void PowersToDbHere(const double* power, double* db, std::size_t count)
{
    PowersToDbOf<Four>(power, db, count);
}

} // namespace

void PowersToDb(const double* power, double* db, std::size_t count)
{
    PowersToDbHere(power, db, count);
}
