#pragma once

#include <cstdint>
#include <cstring>

// Vectors of doubles for the spectrum's passes over every bin or sample: four lanes (one
// AVX2 register) or eight (one AVX-512 register). Each pass is written once for either
// width and built per machine, eight lanes where AVX-512 is there and four elsewhere
// (the compiler splits eight-lane vectors into narrower registers badly).
using Four = double __attribute__((vector_size(32)));
using Eight = double __attribute__((vector_size(64)));

template <class V>
struct Lanes;
template <>
struct Lanes<Four> {
    static constexpr int count = 4;
    using Index = std::int64_t __attribute__((vector_size(32)));
    using Bits = std::uint64_t __attribute__((vector_size(32)));
    static constexpr Index iota = {0, 1, 2, 3};
};
template <>
struct Lanes<Eight> {
    static constexpr int count = 8;
    using Index = std::int64_t __attribute__((vector_size(64)));
    using Bits = std::uint64_t __attribute__((vector_size(64)));
    static constexpr Index iota = {0, 1, 2, 3, 4, 5, 6, 7};
};

template <class V>
[[gnu::always_inline]] inline V LoadLanes(const double* from)
{
    V v;
    std::memcpy(&v, from, sizeof v);
    return v;
}

template <class V>
[[gnu::always_inline]] inline void StoreLanes(double* to, V v)
{
    std::memcpy(to, &v, sizeof v);
}

template <class V>
[[gnu::always_inline]] inline double LargestLane(V v)
{
    double largest = v[0];
    for (int i = 1; i < Lanes<V>::count; ++i)
        largest = v[i] > largest ? v[i] : largest;
    return largest;
}

template <class V>
[[gnu::always_inline]] inline double SumOfLanes(V v)
{
    double sum = 0;
    for (int i = 0; i < Lanes<V>::count; ++i)
        sum += v[i];
    return sum;
}
