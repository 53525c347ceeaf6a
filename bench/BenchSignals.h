#pragma once

#include <cmath>
#include <cstddef>
#include <numbers>
#include <random>
#include <vector>

// A 12-bit straight-binary block as the converter delivers it: a sine near full scale
// with a fractional number of cycles and a little noise.
inline std::vector<double> NoisySine(std::size_t n, double cycles, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0, 0.7);
    std::vector<double> codes(n);
    for (std::size_t i = 0; i < n; ++i)
        codes[i] = std::round(2047.5 + 2000 * std::sin(2 * std::numbers::pi * cycles * double(i) / double(n)) +
                              noise(rng));
    return codes;
}
