#pragma once

#include <cstdint>
#include <vector>

// An input frequency that puts a whole, odd number of cycles in a block, prime to the
// block length: each sample then lands on its own phase of the sine, and the tone falls
// exactly on a bin.
struct CoherentFrequency {
    std::int64_t cycles = 0;
    double hz = 0;
};

// The coherent frequencies nearest to wantedHz for fs and a block of n samples: the
// nearest below and the nearest above (one of them alone at the ends of the band, none
// when the band holds no such frequency), closest first.
std::vector<CoherentFrequency> NearestCoherentFrequencies(double wantedHz, double fs, std::int64_t n);
