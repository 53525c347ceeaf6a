#include "DynamicMetrics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numeric>

namespace {

constexpr int HighestHarmonic = 6;

double Db(double ratio)
{
    return 10.0 * std::log10(std::max(ratio, 1e-30));
}

// Where a harmonic of a tone at bin f lands after folding into the first Nyquist zone.
double AliasedBin(double f, std::size_t n)
{
    const double folded = std::fmod(f, double(n));
    return folded > double(n) / 2 ? double(n) - folded : folded;
}

// Bins first up to (not including) end.
struct BinRange {
    std::size_t first = 0, end = 0;
    std::size_t Size() const { return end - first; }
    bool Contains(std::size_t k) const { return k >= first && k < end; }
};

BinRange Lobe(double centre, int halfWidth, std::size_t firstBin, std::size_t binCount)
{
    const double lo = std::max(std::ceil(centre - halfWidth), double(firstBin));
    const double hi = std::min(std::floor(centre + halfWidth) + 1, double(binCount));
    return {std::size_t(lo), std::size_t(std::max(lo, hi))};
}

double Sum(std::span<const double> power, BinRange r)
{
    return std::reduce(power.begin() + std::ptrdiff_t(r.first), power.begin() + std::ptrdiff_t(r.end), 0.0);
}

// The largest power in a range, four bins at a time (a GCC vector type, one AVX2
// register where the processor has it), so the comparisons do not wait on each other.
[[gnu::target_clones("avx2", "default")]]
double Largest(std::span<const double> power, BinRange r)
{
    using Four = double __attribute__((vector_size(32)));
    Four lanes = {0, 0, 0, 0};
    std::size_t k = r.first;
    for (; k + 4 <= r.end; k += 4) {
        Four next;
        std::memcpy(&next, &power[k], sizeof next);
        lanes = next > lanes ? next : lanes;
    }
    double largest = std::max({lanes[0], lanes[1], lanes[2], lanes[3]});
    for (; k < r.end; ++k)
        largest = std::max(largest, power[k]);
    return largest;
}

} // namespace

double Enob(double sinadDb)
{
    return (sinadDb - 1.76) / 6.02;
}

DynamicMetrics ComputeDynamicMetrics(std::span<const double> power, std::size_t n,
                                     int halfWidth, double enbw)
{
    DynamicMetrics m;
    const std::size_t bins = power.size();
    const std::size_t firstBin = std::size_t(halfWidth) + 1;   // bins 0..halfWidth: DC
    if (bins < firstBin + 4 * std::size_t(halfWidth) + 2)
        return m;

    const double peakPower = Largest(power, {firstBin, bins});
    if (!(peakPower > 0) || !std::isfinite(peakPower))
        return m;
    const std::size_t peak = std::size_t(
        std::find(power.begin() + std::ptrdiff_t(firstBin), power.end(), peakPower) - power.begin());

    // Power-weighted centre of the main lobe: the fundamental between the bins.
    const BinRange around = Lobe(double(peak), halfWidth, firstBin, bins);
    double weight = 0, moment = 0;
    for (std::size_t k = around.first; k < around.end; ++k) {
        weight += power[k];
        moment += double(k) * power[k];
    }
    const double f0 = moment / weight;
    if (!std::isfinite(f0))   // an infinite code in the block
        return m;

    const BinRange fundamentalBins = Lobe(f0, halfWidth, firstBin, bins);
    const double fundamental = Sum(power, fundamentalBins);
    const BinRange below{firstBin, fundamentalBins.first}, above{fundamentalBins.end, bins};

    // Each harmonic takes the bins of its lobe that the fundamental or a lower harmonic
    // has not taken. A spur is compared by its peak bin, a harmonic also by its lobe's
    // power over the noise bandwidth, so a harmonic between bins is not undercounted.
    std::array<BinRange, HighestHarmonic> taken{fundamentalBins};
    double harmonics = 0, largestSpur = std::max(Largest(power, below), Largest(power, above));
    std::size_t harmonicBins = 0;
    for (int h = 2; h <= HighestHarmonic; ++h) {
        const BinRange lobe = Lobe(AliasedBin(h * f0, n), halfWidth, firstBin, bins);
        double sum = 0;
        for (std::size_t k = lobe.first; k < lobe.end; ++k) {
            if (std::any_of(taken.begin(), taken.begin() + h - 1,
                            [k](const BinRange& r) { return r.Contains(k); }))
                continue;
            sum += power[k];
            ++harmonicBins;
        }
        taken[std::size_t(h) - 1] = lobe;
        harmonics += sum;
        largestSpur = std::max(largestSpur, sum / enbw);
    }

    const double nonFundamental = Sum(power, below) + Sum(power, above);
    const double noise = std::max(nonFundamental - harmonics, 0.0);
    const std::size_t noiseBins = below.Size() + above.Size() - harmonicBins;
    // The bins taken by DC, the fundamental and the harmonics held noise too: count the
    // mean noise bin in their place.
    const double noisePerBin = noiseBins ? noise / double(noiseBins) : 0.0;
    const double noiseTotal = noisePerBin * double(bins);
    const double noiseAndDistortion =
        nonFundamental + noisePerBin * double(firstBin + fundamentalBins.Size());

    m.valid = true;
    m.fundamentalBin = f0;
    m.fundamentalDbfs = Db(fundamental / enbw);
    m.snrDb = Db(fundamental / noiseTotal);
    m.sinadDb = Db(fundamental / noiseAndDistortion);
    m.thdDb = Db(harmonics / fundamental);
    m.sfdrDb = Db(fundamental / enbw / largestSpur);
    m.enob = Enob(m.sinadDb);
    return m;
}
