#pragma once

#include <cmath>
#include <cstdint>

// The simulated board's deterministic random source (SplitMix64), so every test and demo
// run sees the same noise for the same seed on every platform.
class BoardRandom {
public:
    explicit BoardRandom(std::uint64_t seed) : state_(seed) {}

    void Seed(std::uint64_t seed)
    {
        state_ = seed;
        haveSpare_ = false;
    }

    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in (0, 1): never exactly 0, so the logarithm below is finite.
    double Uniform() { return (double(Next() >> 11) + 0.5) * (1.0 / 9007199254740992.0); }

    // Standard normal deviate (Box-Muller, two per draw).
    double Gaussian()
    {
        if (haveSpare_) {
            haveSpare_ = false;
            return spare_;
        }
        const double r = std::sqrt(-2.0 * std::log(Uniform()));
        const double a = 6.283185307179586 * Uniform();
        spare_ = r * std::sin(a);
        haveSpare_ = true;
        return r * std::cos(a);
    }

private:
    std::uint64_t state_;
    double spare_ = 0.0;
    bool haveSpare_ = false;
};
