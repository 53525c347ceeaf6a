#include "DynamicMetrics.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

struct LobeBins {
    std::size_t first, last;   // inclusive; first > last when empty
};

LobeBins Lobe(double centre, int halfWidth, std::size_t firstBin, std::size_t binCount)
{
    const double lo = std::max(std::ceil(centre - halfWidth), double(firstBin));
    const double hi = std::min(std::floor(centre + halfWidth), double(binCount) - 1);
    return {std::size_t(lo), hi < lo ? std::size_t(lo) - 1 : std::size_t(hi)};
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

    const std::size_t peak = std::size_t(
        std::max_element(power.begin() + firstBin, power.end()) - power.begin());
    if (!(power[peak] > 0))
        return m;

    // Power-weighted centre of the main lobe: the fundamental between the bins.
    const LobeBins around = Lobe(double(peak), halfWidth, firstBin, bins);
    double weight = 0, moment = 0;
    for (std::size_t k = around.first; k <= around.last; ++k) {
        weight += power[k];
        moment += double(k) * power[k];
    }
    const double f0 = moment / weight;

    enum class Use : unsigned char { Noise, Fundamental, Harmonic };
    std::vector<Use> use(bins, Use::Noise);
    double fundamental = 0;
    const LobeBins fundamentalBins = Lobe(f0, halfWidth, firstBin, bins);
    for (std::size_t k = fundamentalBins.first; k <= fundamentalBins.last; ++k) {
        use[k] = Use::Fundamental;
        fundamental += power[k];
    }

    // A spur is compared by its peak bin; a harmonic by its lobe's power over the noise
    // bandwidth too, so a harmonic between bins is not undercounted.
    double harmonics = 0, largestSpur = 0;
    for (int h = 2; h <= HighestHarmonic; ++h) {
        const LobeBins lobe = Lobe(AliasedBin(h * f0, n), halfWidth, firstBin, bins);
        double sum = 0;
        for (std::size_t k = lobe.first; k <= lobe.last; ++k) {
            if (use[k] != Use::Noise)
                continue;
            use[k] = Use::Harmonic;
            sum += power[k];
        }
        harmonics += sum;
        largestSpur = std::max(largestSpur, sum / enbw);
    }

    double noise = 0, nonFundamental = 0;
    std::size_t noiseBins = 0;
    for (std::size_t k = firstBin; k < bins; ++k) {
        if (use[k] == Use::Fundamental)
            continue;
        nonFundamental += power[k];
        largestSpur = std::max(largestSpur, power[k]);
        if (use[k] == Use::Noise) {
            noise += power[k];
            ++noiseBins;
        }
    }
    // The bins taken by DC, the fundamental and the harmonics held noise too: count the
    // mean noise bin in their place.
    const double noisePerBin = noiseBins ? noise / double(noiseBins) : 0.0;
    const double noiseTotal = noisePerBin * double(bins);
    const double fundamentalBinCount = double(fundamentalBins.last + 1 - fundamentalBins.first);
    const double noiseAndDistortion = nonFundamental + noisePerBin * (double(firstBin) + fundamentalBinCount);

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
