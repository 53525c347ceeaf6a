#pragma once

// The thresholds the dynamic metrics share and the uncertainty of a power read from a lobe.
// docs/metrics.md explains each.

#include "BinLedger.h"
#include "DynamicMetrics.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace metric_rules {

// Fewer noise bins than this leave the noise estimate a few tenths of a dB uncertain.
constexpr std::size_t MinNoiseBins = 250;
// A tone's peak bin must stand this far above the floor per bin (20 dB): the largest of
// thousands of bins of noise alone stays within about 10 dB of their mean.
constexpr double ToneClearance = 100;
// Below this (-200 dBFS) a peak is rounding residue, not a tone.
constexpr double LowestTone = 1e-20;
// A figure shown as valid is within 0.1 dB: 10^(0.1/10) - 1 of its power.
constexpr double Tolerance = 0.02329;
// Intermodulation is read to 0.2 dB: 10^(0.2/10) - 1.
constexpr double ImdTolerance = 0.04713;
// Its uncertainty (one standard deviation, as estimated from the floor) stays within that.
constexpr double Sigmas = 1;
// A second tone within 10 dB of the first makes the block a two-tone test.
constexpr double SecondToneShare = 0.1;
// How far from a tone the window's skirt is followed.
constexpr int SkirtReach = 256;

inline double Db(double ratio)
{
    return 10.0 * std::log10(std::max(ratio, 1e-30));
}

// One standard deviation of a power x read as the sum of `bins` bins less the floor f
// per bin, over the average of k blocks: the noise beating with the component (2 x f)
// and the noise alone (bins x ENBW x f^2, neighbouring bins of a window being correlated).
inline double Sigma(double x, std::size_t bins, double f, double enbw, int k)
{
    return std::sqrt((2 * std::max(x, 0.0) * f + double(bins) * enbw * f * f) / double(std::max(k, 1)));
}

// Whether a relative uncertainty (one standard deviation) keeps a figure within 0.1 dB.
inline bool WithinTolerance(double relative, double tolerance = Tolerance)
{
    return Sigmas * relative <= tolerance;
}

inline std::string LeakageReason(WindowKind window)
{
    return std::string("leakage above the noise floor: ") + WindowName(window) + " window, tone between bins";
}

inline const char* WindowLimitReason()
{
    return "limited by window leakage: use a coherent frequency or a window with lower sidelobes";
}

// What the single-tone and two-tone figures share: the block, the window and the bins.
struct Context {
    std::span<const double> power;
    const BlockFacts& block;
    const MetricSettings& settings;
    int halfWidth;
    double enbw;
    BinRange dc;
};

// The figures of a block with two tones (tone 1 found at f1 with the ledger holding DC
// and its lobe): fills m.twoTone and the figures that still apply.
void ComputeTwoTone(const Context& c, BinLedger& ledger, const Claim& first, double f1, Peak second,
                    DynamicMetrics& m);

// The tone's offset from its peak bin by the window's lobe shape.
double ToneCentre(const Context& c, std::size_t peak);

// The worst spur: the loudest of the claimed components offered (harmonics or products)
// and the highest free bin with its lobe, and the power its level was read from.
struct WorstSpur {
    SpurMark mark;
    double power = 0;       // lobe sum less the floor (scaled by ENBW: a tone's share)
    std::size_t bins = 0;

    // A claimed component at a fractional bin, with the level read from its claim.
    void Consider(double bin, double levelDbfs, int order, const Claim& claim, double floor);
    // The highest bin neither claimed nor in a skirt, with the unclaimed bins of its lobe.
    void ConsiderFree(const Context& c, const BinLedger& ledger);
    // Whether the noise leaves its level uncertain by more than 0.1 dB.
    bool NearNoise(const Context& c, double floor) const;

private:
    void Offer(double bin, double levelDbfs, int order, double lobePower, std::size_t lobeBins);
};

} // namespace metric_rules
