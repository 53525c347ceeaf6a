#include "DynamicMetrics.h"

#include "Lanes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numeric>

namespace {

// Fewer noise bins than this leave the noise estimate a few tenths of a dB uncertain.
constexpr std::size_t MinNoiseBins = 250;
// Leakage above this share of the noise moves SNR by more than 0.4 dB.
constexpr double LeakageShareOfNoise = 0.1;

double Db(double ratio)
{
    return 10.0 * std::log10(std::max(ratio, 1e-30));
}

// Where a harmonic of a tone at bin f lands after folding into the first Nyquist zone.
double FoldedBin(double f, std::size_t n)
{
    const double folded = std::fmod(f, double(n));
    return folded > double(n) / 2 ? double(n) - folded : folded;
}

// Bins first up to (not including) end.
struct BinRange {
    std::size_t first = 0, end = 0;
    std::size_t Size() const { return end - first; }
    bool Overlaps(const BinRange& o) const { return first < o.end && o.first < end; }
};

// The bins within half-width bins of a fractional centre, clipped to 0..binCount.
BinRange Lobe(double centre, int halfWidth, std::size_t binCount)
{
    const double lo = std::max(std::ceil(centre - halfWidth), 0.0);
    const double hi = std::min(std::floor(centre + halfWidth) + 1, double(binCount));
    return {std::size_t(lo), std::size_t(std::max(lo, hi))};
}

double Sum(std::span<const double> power, BinRange r)
{
    return std::reduce(power.begin() + std::ptrdiff_t(r.first), power.begin() + std::ptrdiff_t(r.end), 0.0);
}

struct Peak {
    double value = -1;
    std::size_t at = 0;
};

// The first value of values[from..to) above start.value, or start if none is; a vector
// of lanes at a time, each keeping its own first largest.
template <class V>
[[gnu::always_inline]] inline Peak FirstLargestOf(const double* values, std::size_t from, std::size_t to, Peak start)
{
    constexpr std::size_t lanes = Lanes<V>::count;
    using Index = typename Lanes<V>::Index;
    if (to - from < lanes) {
        for (std::size_t k = from; k < to; ++k)
            if (values[k] > start.value)
                start = {values[k], k};
        return start;
    }
    V best = start.value - V{};
    Index at = std::int64_t(start.at) - Index{};
    // The last vector ends at to, overlapping the one before: a value seen twice keeps its
    // own index either way.
    for (std::size_t k = from;; k = std::min(k + lanes, to - lanes)) {
        const V v = LoadLanes<V>(values + k);
        const Index larger = v > best;
        best = larger ? v : best;
        at = larger ? std::int64_t(k) + Lanes<V>::iota : at;
        if (k + lanes == to)
            break;
    }
    for (std::size_t lane = 0; lane < lanes; ++lane)
        if (best[lane] > start.value || (best[lane] == start.value && std::size_t(at[lane]) < start.at))
            start = {best[lane], std::size_t(at[lane])};
    return start;
}

// Built for AVX-512, AVX2 and any x86-64, picked at load time.
[[gnu::target("arch=x86-64-v4")]] Peak FirstLargest(const double* values, std::size_t from, std::size_t to, Peak start)
{
    return FirstLargestOf<Eight>(values, from, to, start);
}

[[gnu::target("arch=x86-64-v3")]] Peak FirstLargest(const double* values, std::size_t from, std::size_t to, Peak start)
{
    return FirstLargestOf<Four>(values, from, to, start);
}

[[gnu::target("default")]] Peak FirstLargest(const double* values, std::size_t from, std::size_t to, Peak start)
{
    return FirstLargestOf<Four>(values, from, to, start);
}

// The first bin of a range larger than start (start if none is): the chunks wholly inside
// it by their largest, the rest and the winning chunk bin by bin.
Peak Largest(std::span<const double> power, const PowerSummary& summary, BinRange r, Peak start = {})
{
    constexpr std::size_t chunk = PowerSummary::ChunkBins;
    const std::size_t firstWhole = (r.first + chunk - 1) / chunk, endWhole = r.end / chunk;
    if (firstWhole >= endWhole)
        return FirstLargest(power.data(), r.first, r.end, start);
    Peak best = FirstLargest(power.data(), r.first, firstWhole * chunk, start);
    const Peak bestChunk = FirstLargest(summary.chunkLargest.data(), firstWhole, endWhole, {best.value, endWhole});
    if (bestChunk.at < endWhole)
        best = FirstLargest(power.data(), bestChunk.at * chunk, (bestChunk.at + 1) * chunk, best);
    return FirstLargest(power.data(), endWhole * chunk, r.end, best);
}

double NoiseBandwidth(WindowKind kind)
{
    const auto a = WindowCoefficients(kind);
    double squares = a[0] * a[0];
    for (std::size_t m = 1; m < a.size(); ++m)
        squares += a[m] * a[m] / 2;
    return squares / (a[0] * a[0]);
}

void Flag(Metric& m, const std::string& reason)
{
    if (m.reason.empty())
        m.reason = reason;
}

struct Harmonic {
    BinRange lobe;
    double sum = 0, largest = 0;
    std::size_t ownBins = 0;
};

} // namespace

PowerSummary Summarise(std::span<const double> power)
{
    PowerSummary s;
    for (std::size_t k = 0; k < power.size(); k += PowerSummary::ChunkBins) {
        const auto end = std::min(power.size(), k + PowerSummary::ChunkBins);
        s.chunkLargest.push_back(*std::max_element(power.begin() + std::ptrdiff_t(k), power.begin() + std::ptrdiff_t(end)));
        s.total += std::reduce(power.begin() + std::ptrdiff_t(k), power.begin() + std::ptrdiff_t(end));
    }
    return s;
}

void DynamicMetrics::Invalidate(const std::string& reason)
{
    for (Metric* m : {&frequencyBin, &signalDbfs, &snrDb, &sinadDb, &thdDb, &sfdrDb, &enob, &noiseFloorDbfs}) {
        m->value = 0;
        m->reason = reason;
    }
    harmonics.clear();
    worstSpur = {};
}

DynamicMetrics ComputeDynamicMetrics(std::span<const double> power, const PowerSummary& summary,
                                     const BlockFacts& block, const MetricSettings& settings)
{
    DynamicMetrics m;
    const std::size_t bins = power.size();
    const int halfWidth = MainLobeHalfWidth(settings.window);
    const std::size_t dcEnd = std::size_t(std::max(halfWidth, settings.dcBins)) + 1;
    if (bins < dcEnd + 4 * std::size_t(halfWidth) + 2) {
        m.Invalidate("too few samples");
        return m;
    }
    const BinRange dc{0, dcEnd};

    const Peak top = Largest(power, summary, {dcEnd, bins});
    const std::size_t peak = top.at;
    // A spectrum without a finite positive peak (no tone, or values that are not numbers)
    // has no neighbours to interpolate from.
    if (!(top.value > 0) || !std::isfinite(top.value) || peak < dcEnd || peak >= bins) {
        m.Invalidate("no tone found");
        return m;
    }
    // The fundamental between the bins: from its peak bin and the larger neighbour,
    // through the window's own lobe shape.
    const double left = power[peak - 1], right = peak + 1 < bins ? power[peak + 1] : 0.0;
    const double side = right > left ? 1.0 : -1.0;
    const double f0 = double(peak) + side * ToneOffset(settings.window, std::sqrt(std::max(left, right) / top.value));
    if (!(top.value > 0) || !std::isfinite(f0) || !std::isfinite(top.value)) {
        m.Invalidate("no tone found");
        return m;
    }
    for (Metric* metric : {&m.frequencyBin, &m.signalDbfs, &m.snrDb, &m.sinadDb, &m.thdDb, &m.sfdrDb,
                           &m.enob, &m.noiseFloorDbfs})
        metric->reason.clear();
    m.frequencyBin.value = f0;
    const BinRange fundamental = Lobe(f0, halfWidth, bins);
    if (f0 - halfWidth < double(dcEnd)) {
        m.Invalidate("tone too near DC");
        return m;
    }
    if (f0 + halfWidth > double(bins)) {
        m.Invalidate("tone too near Nyquist");
        return m;
    }

    // Each harmonic owns the bins of its lobe that DC, the fundamental or a lower harmonic
    // has not taken.
    const int highest = std::clamp(settings.harmonics, 2, 25);
    std::vector<BinRange> taken{dc, fundamental};
    std::vector<Harmonic> harmonics;
    taken.reserve(std::size_t(highest) + 1);
    harmonics.reserve(std::size_t(highest) - 1);
    m.harmonics.reserve(std::size_t(highest) - 1);
    for (int h = 2; h <= highest; ++h) {
        HarmonicMark mark{h, FoldedBin(h * f0, block.n), 0, {}};
        Harmonic harmonic{Lobe(mark.bin, halfWidth, bins)};
        const std::string order = "harmonic " + std::to_string(h);
        if (harmonic.lobe.Overlaps(dc)) {
            mark.reason = order + " folds onto DC";
            for (Metric* metric : {&m.thdDb, &m.sinadDb, &m.enob, &m.sfdrDb})
                Flag(*metric, mark.reason);
        } else if (harmonic.lobe.Overlaps(fundamental)) {
            mark.reason = order + " folds onto the fundamental";
            for (Metric* metric : {&m.thdDb, &m.sinadDb, &m.enob, &m.sfdrDb})
                Flag(*metric, mark.reason);
        } else if (mark.bin + halfWidth > double(bins)) {
            mark.reason = order + " too near Nyquist";
            Flag(m.thdDb, mark.reason);
        } else {
            for (int lower = 2; lower < h; ++lower)
                if (harmonic.lobe.Overlaps(harmonics[std::size_t(lower - 2)].lobe)) {
                    mark.reason = order + " folds onto harmonic " + std::to_string(lower);
                    Flag(m.thdDb, mark.reason);
                    break;
                }
        }
        for (std::size_t k = harmonic.lobe.first; k < harmonic.lobe.end; ++k) {
            if (std::any_of(taken.begin(), taken.end(), [k](const BinRange& r) { return k >= r.first && k < r.end; }))
                continue;
            harmonic.sum += power[k];
            harmonic.largest = std::max(harmonic.largest, power[k]);
            ++harmonic.ownBins;
        }
        taken.push_back(harmonic.lobe);
        harmonics.push_back(harmonic);
        m.harmonics.push_back(mark);
    }

    // The noise bins are the gaps between the taken ranges: their sum is what the taken
    // bins leave of the whole, and the largest bin among them is the highest spur that
    // is not a harmonic.
    std::sort(taken.begin(), taken.end(), [](const BinRange& a, const BinRange& b) { return a.first < b.first; });
    double noiseSum = summary.total;
    std::size_t noiseBins = bins, gapFrom = 0;
    Peak spurPeak{0, 0};
    for (std::size_t i = 0; i <= taken.size(); ++i) {
        const BinRange gap{gapFrom, i < taken.size() ? std::max(gapFrom, taken[i].first) : bins};
        if (i < taken.size()) {
            const BinRange newlyTaken{std::max(gapFrom, taken[i].first), std::max(gapFrom, taken[i].end)};
            noiseSum -= Sum(power, newlyTaken);
            noiseBins -= newlyTaken.Size();
            gapFrom = std::max(gapFrom, taken[i].end);
        }
        if (gap.Size() == 0)
            continue;
        // Only a bin above the highest so far is looked for.
        spurPeak = Largest(power, summary, gap, spurPeak);
    }
    noiseSum = std::max(noiseSum, 0.0);
    const double enbw = NoiseBandwidth(settings.window);
    const double perBin = noiseBins ? noiseSum / double(noiseBins) : 0.0;
    // A tone between bins leaks past its main lobe (the rectangular window loses 0.8 dB
    // at half a bin); the lobe's sum is scaled back to the whole tone.
    const double lobe = Sum(power, fundamental);
    const double leakShare = LeakageOutsideMainLobe(settings.window, f0 - std::round(f0));
    const double signal = std::max((lobe - perBin * double(fundamental.Size())) / (1 - std::min(leakShare, 0.5)), 1e-30);
    double distortion = 0;
    for (std::size_t i = 0; i < harmonics.size(); ++i) {
        const double own = std::max(harmonics[i].sum - perBin * double(harmonics[i].ownBins), 0.0);
        distortion += own;
        m.harmonics[i].levelDbfs = Db(std::max(own / enbw, harmonics[i].largest));
    }
    const double noise = perBin * double(bins);

    m.signalDbfs.value = Db(signal / enbw);
    m.snrDb.value = Db(signal / noise);
    m.sinadDb.value = Db(signal / (noise + distortion));
    m.thdDb.value = Db(distortion / signal);
    m.enob.value = (m.sinadDb.value - m.signalDbfs.value - 1.76) / 6.02;
    m.noiseFloorDbfs.value = Db(perBin);

    // The worst spur: a harmonic, or the highest other bin with its whole lobe.
    SpurMark& spur = m.worstSpur;
    for (const HarmonicMark& h : m.harmonics)
        if (!spur.found || h.levelDbfs > spur.levelDbfs)
            spur = {true, h.bin, h.levelDbfs, h.order};
    if (spurPeak.value > 0) {
        const BinRange lobe = Lobe(double(spurPeak.at), halfWidth, bins);
        double lobeSum = 0;
        std::size_t lobeBins = 0;
        for (std::size_t k = lobe.first; k < lobe.end; ++k)
            if (!dc.Overlaps({k, k + 1}) && !fundamental.Overlaps({k, k + 1})) {
                lobeSum += power[k];
                ++lobeBins;
            }
        const double level = Db(std::max((lobeSum - perBin * double(lobeBins)) / enbw, spurPeak.value));
        if (!spur.found || level > spur.levelDbfs)
            spur = {true, double(spurPeak.at), level, 0};
    }
    m.sfdrDb.value = m.signalDbfs.value - spur.levelDbfs;

    if (noiseBins < MinNoiseBins)
        for (Metric* metric : {&m.snrDb, &m.sinadDb, &m.enob, &m.noiseFloorDbfs})
            Flag(*metric, "too few samples");
    // Where the leakage reaches the noise, the noise and spurs measured are the window's,
    // not the converter's.
    const double leaked = lobe * leakShare / std::max(1.0 - leakShare, 1e-12);
    if (leaked > LeakageShareOfNoise * std::max(noiseSum - leaked, 0.0))
        for (Metric* metric : {&m.snrDb, &m.sinadDb, &m.thdDb, &m.sfdrDb, &m.enob, &m.noiseFloorDbfs})
            Flag(*metric, std::string("leakage above the noise floor: ") + WindowName(settings.window)
                              + " window, tone between bins");
    if (block.clipped)
        for (Metric* metric : {&m.signalDbfs, &m.snrDb, &m.sinadDb, &m.thdDb, &m.sfdrDb, &m.enob, &m.noiseFloorDbfs})
            Flag(*metric, "clipping");
    return m;
}
