#pragma once

#include <cstddef>
#include <span>

// The converter's dynamic figures from one windowed power spectrum (IEEE Std 1241 style).
struct DynamicMetrics {
    bool valid = false;          // false when the block is too short or holds no tone
    double fundamentalBin = 0;   // fractional bin of the fundamental
    double fundamentalDbfs = 0;  // its amplitude relative to a full-scale sine
    double snrDb = 0;
    double sinadDb = 0;
    double thdDb = 0;            // harmonics 2 to 6, relative to the fundamental
    double sfdrDb = 0;           // fundamental over the largest spur
    double enob = 0;
};

double Enob(double sinadDb);

// power: bins 0..N/2-1 of a block of n samples, each bin the squared amplitude of a tone
// at its centre relative to full scale (so a tone's main lobe sums to its power times
// the window's noise bandwidth enbw, in bins). halfWidth: the window's main-lobe
// half-width in bins; the fundamental and each harmonic take the bins within it, and
// the same number of bins above DC is left out as the remains of the removed mean.
DynamicMetrics ComputeDynamicMetrics(std::span<const double> power, std::size_t n,
                                     int halfWidth, double enbw);
