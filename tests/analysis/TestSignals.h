#pragma once

#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

// Test blocks from an ideal converter: a sine (plus optional spurs) rounded to codes.
struct SineSpec {
    int bits = 12;
    std::size_t n = 4096;
    double cycles = 127;          // whole and odd: coherent; anything else is not
    double amplitude = -1;        // in LSB; below 0: full scale less half an LSB
    double phase = 0.3;
    struct Spur {
        double cycles;            // a harmonic of order k is a spur at k times the sine's cycles
        double relativeAmplitude;
    };
    std::vector<Spur> spurs = {};
};

inline std::vector<double> QuantisedSine(const SineSpec& s)
{
    const double half = std::ldexp(1.0, s.bits - 1);
    const double a = s.amplitude < 0 ? half - 0.5 : s.amplitude;
    std::vector<double> codes(s.n);
    for (std::size_t i = 0; i < s.n; ++i) {
        double x = std::sin(2 * std::numbers::pi * s.cycles * double(i) / double(s.n) + s.phase);
        for (const auto& spur : s.spurs)
            x += spur.relativeAmplitude * std::sin(2 * std::numbers::pi * spur.cycles * double(i) / double(s.n));
        codes[i] = std::round(half - 0.5 + a * x);
    }
    return codes;
}

inline double IdealSnrDb(int bits)
{
    return 6.02 * bits + 1.76;
}
