#include "DynamicMetrics.h"

#include "MetricRules.h"

#include <algorithm>
#include <cmath>

using namespace metric_rules;

namespace {

double NoiseBandwidth(WindowKind kind)
{
    const auto a = WindowCoefficients(kind);
    double squares = a[0] * a[0];
    for (std::size_t m = 1; m < a.size(); ++m)
        squares += a[m] * a[m] / 2;
    return squares / (a[0] * a[0]);
}

void FlagAll(std::initializer_list<Metric*> metrics, const std::string& reason)
{
    for (Metric* metric : metrics)
        metric->Flag(reason);
}

struct HarmonicClaim {
    Claim claim;
    bool spoilsSinad = false;   // its lobe is cut or shared with DC or the fundamental
};

} // namespace

namespace metric_rules {

double ToneCentre(const Context& c, std::size_t peak)
{
    const std::size_t bins = c.power.size();
    const double left = peak > 0 ? c.power[peak - 1] : 0.0, right = peak + 1 < bins ? c.power[peak + 1] : 0.0;
    const double side = right > left ? 1.0 : -1.0;
    return double(peak) + side * ToneOffset(c.settings.window, std::sqrt(std::max(left, right) / c.power[peak]));
}

FreeSpur WorstFreeSpur(const Context& c, const BinLedger& ledger)
{
    FreeSpur spur{ledger.LargestFree()};
    if (!(spur.peak.value > 0))
        return spur;
    const Claim lobe = ledger.Unclaimed(LobeAt(double(spur.peak.at), c.halfWidth, c.power.size()));
    spur.power = lobe.sum - ledger.Floor() * double(lobe.bins);
    spur.bins = lobe.bins;
    return spur;
}

} // namespace metric_rules

void DynamicMetrics::Invalidate(const std::string& reason)
{
    for (Metric* m : {&frequencyBin, &signalDbfs, &snrDb, &sinadDb, &thdDb, &sfdrDb, &enob, &noiseFloorDbfs, &noiseDbfs}) {
        m->value = 0;
        m->reason = reason;
    }
    harmonics.clear();
    worstSpur = {};
    twoTone = {};
}

DynamicMetrics ComputeDynamicMetrics(std::span<const double> power, const BlockFacts& block,
                                     const MetricSettings& settings)
{
    DynamicMetrics m;
    const std::size_t bins = power.size();
    const int halfWidth = MainLobeHalfWidth(settings.window);
    const std::size_t dcEnd = std::size_t(std::max(halfWidth, settings.dcBins)) + 1;
    if (bins < dcEnd + 4 * std::size_t(halfWidth) + 2) {
        m.Invalidate("too few samples");
        return m;
    }
    const Context c{power, block, settings, halfWidth, NoiseBandwidth(settings.window), {0, dcEnd}};
    const int k = std::max(block.averaged, 1);

    const Peak top = FirstLargest(power, {dcEnd, bins});
    if (!(top.value > LowestTone) || !std::isfinite(top.value)) {
        m.Invalidate("no tone found");
        return m;
    }
    const double f0 = ToneCentre(c, top.at);
    BinLedger ledger(power);
    ledger.Take(c.dc);
    const BinRange fundamentalLobe = LobeAt(f0, halfWidth, bins);
    const Claim fundamental = ledger.Take(fundamentalLobe);
    // Each harmonic owns the bins of its lobe that DC, the fundamental or a lower harmonic
    // has not taken.
    const int highest = std::clamp(settings.harmonics, 2, 25);
    std::vector<HarmonicClaim> harmonics;
    harmonics.reserve(std::size_t(highest) - 1);
    m.harmonics.reserve(std::size_t(highest) - 1);
    for (int h = 2; h <= highest; ++h) {
        HarmonicMark mark{h, FoldedBin(h * f0, block.n), 0, {}};
        const BinRange lobe = LobeAt(mark.bin, halfWidth, bins);
        const std::string order = "harmonic " + std::to_string(h);
        bool spoils = true;
        if (lobe.Overlaps(c.dc))
            mark.reason = order + " folds onto DC";
        else if (lobe.Overlaps(fundamentalLobe))
            mark.reason = order + " folds onto the fundamental";
        else if (mark.bin + halfWidth > double(bins))
            mark.reason = order + " too near Nyquist";
        else
            spoils = false;
        if (!spoils)
            for (int lower = 2; lower < h; ++lower)
                if (lobe.Overlaps(harmonics[std::size_t(lower - 2)].claim.lobe)) {
                    mark.reason = order + " folds onto harmonic " + std::to_string(lower);
                    break;
                }
        harmonics.push_back({ledger.Take(lobe), spoils});
        m.harmonics.push_back(mark);
    }
    ledger.FindFloor();
    // Noise alone, or a constant block's rounding residue, has no bin far above the rest.
    if (top.value < ToneClearance * ledger.Floor()) {
        m.Invalidate("no tone found");
        return m;
    }
    for (Metric* metric : {&m.frequencyBin, &m.signalDbfs, &m.snrDb, &m.sinadDb, &m.thdDb, &m.sfdrDb, &m.enob,
                           &m.noiseFloorDbfs, &m.noiseDbfs})
        metric->reason.clear();
    m.frequencyBin.value = f0;
    if (f0 - halfWidth < double(dcEnd)) {
        m.Invalidate("tone too near DC");
        return m;
    }
    if (f0 + halfWidth > double(bins)) {
        m.Invalidate("tone too near Nyquist");
        return m;
    }

    const double leakShare = LeakageOutsideMainLobe(settings.window, f0 - std::round(f0));
    const double firstSignal = (fundamental.sum - ledger.Floor() * double(fundamental.bins)) / (1 - std::min(leakShare, 0.5));
    const BinLedger::Skirt skirt = ledger.MarkSkirt(settings.window, f0, firstSignal / c.enbw, SkirtReach);
    const Peak second = ledger.LargestFree();
    if (second.value >= SecondToneShare * top.value && second.value >= ToneClearance * ledger.Floor()) {
        // Two tones: the bins are shared out afresh, products in place of harmonics.
        m.harmonics.clear();
        BinLedger pair(power);
        pair.Take(c.dc);
        const Claim first = pair.Take(fundamentalLobe);
        pair.FindFloor();
        pair.MarkSkirt(settings.window, f0, firstSignal / c.enbw, SkirtReach);
        ComputeTwoTone(c, pair, first, f0, second, m);
        return m;
    }

    const double floor = ledger.Floor();

    // The signal: the lobe less the floor under it, scaled back to the whole tone when it
    // falls between bins (the window spreads leak(d) of it past the lobe).
    const double signal = std::max((fundamental.sum - floor * double(fundamental.bins)) / (1 - std::min(leakShare, 0.5)), 1e-30);
    double distortion = 0, distortionVariance = 0, leakUnderHarmonics = 0, harmonicBins = 0;
    for (std::size_t i = 0; i < harmonics.size(); ++i) {
        const Claim& h = harmonics[i].claim;
        const double own = h.sum - floor * double(h.bins);
        distortion += std::max(own, 0.0);
        distortionVariance += std::pow(Sigma(own, h.bins, floor, c.enbw, k), 2);
        leakUnderHarmonics += signal / c.enbw * WindowPowerResponse(settings.window, m.harmonics[i].bin - f0) * double(h.bins);
        harmonicBins += double(h.bins);
        m.harmonics[i].levelDbfs = Db(std::max(own / c.enbw, h.largest));
    }
    // The noise by its definition: every bin not claimed, and the claimed ones at the floor.
    const double noise = ledger.NoiseSum() + floor * double(ledger.TakenBins());
    // Its uncertainty is that of the floor put in for the claimed bins. Noise and
    // distortion together are every bin but DC's and the fundamental's, so only those
    // are put in for SINAD.
    const auto fillSigma = [&](std::size_t filled) {
        const double share = double(filled) / double(std::max<std::size_t>(ledger.FloorBins(), 1));
        return floor * std::sqrt(double(filled) * c.enbw * (1 + share) / k);
    };
    const double noiseSigma = fillSigma(ledger.TakenBins());
    const double noiseAndDistortionSigma = fillSigma(c.dc.Size() + fundamental.bins);

    m.signalDbfs.value = Db(signal / c.enbw);
    m.snrDb.value = Db(signal / noise);
    m.sinadDb.value = Db(signal / (noise + distortion));
    m.thdDb.value = Db(distortion / signal);
    m.enob.value = (m.sinadDb.value - m.signalDbfs.value - 1.76) / 6.02;
    m.noiseFloorDbfs.value = Db(floor);
    m.noiseDbfs.value = Db(noise / c.enbw);

    // The worst spur: a harmonic, or the highest bin outside the tone's skirt with its lobe.
    SpurMark& spur = m.worstSpur;
    double spurPower = 0;
    std::size_t spurBins = 0;
    for (std::size_t i = 0; i < harmonics.size(); ++i)
        if (!spur.found || m.harmonics[i].levelDbfs > spur.levelDbfs) {
            spur = {true, m.harmonics[i].bin, m.harmonics[i].levelDbfs, m.harmonics[i].order};
            spurPower = harmonics[i].claim.sum - floor * double(harmonics[i].claim.bins);
            spurBins = harmonics[i].claim.bins;
        }
    const FreeSpur free = WorstFreeSpur(c, ledger);
    if (free.peak.value > 0) {
        const double level = Db(std::max(free.power / c.enbw, free.peak.value));
        if (!spur.found || level > spur.levelDbfs) {
            spur = {true, double(free.peak.at), level, 0};
            spurPower = free.power;
            spurBins = free.bins;
        }
    }
    m.sfdrDb.value = m.signalDbfs.value - spur.levelDbfs;

    // Validity: what each figure is built from decides whether it can be trusted.
    for (std::size_t i = 0; i < harmonics.size(); ++i) {
        const HarmonicMark& mark = m.harmonics[i];
        if (mark.reason.empty())
            continue;
        m.thdDb.Flag(mark.reason);
        if (!harmonics[i].spoilsSinad)
            continue;
        FlagAll({&m.sinadDb, &m.enob}, mark.reason);
        // A cut lobe may read up to twice its power: it spoils SFDR if it could be the worst.
        if (mark.levelDbfs + 3.1 >= spur.levelDbfs)
            m.sfdrDb.Flag(mark.reason);
    }
    const double signalSigma = Sigma(signal, fundamental.bins, floor, c.enbw, k) / signal;
    const double noiseRelative = noiseSigma / noise;
    const double noiseAndDistortion = noiseAndDistortionSigma / (noise + distortion);
    const char* toneNearNoise = "tone too near the noise";
    const char* fewNoiseBins = "too few noise bins: noise known to worse than 0.1 dB";
    if (ledger.NoiseBins() < MinNoiseBins)
        FlagAll({&m.snrDb, &m.sinadDb, &m.enob, &m.noiseFloorDbfs, &m.noiseDbfs}, "too few samples");
    if (!WithinTolerance(signalSigma))
        FlagAll({&m.signalDbfs, &m.snrDb, &m.sinadDb, &m.thdDb, &m.sfdrDb}, toneNearNoise);
    if (!WithinTolerance(noiseRelative))
        FlagAll({&m.snrDb, &m.noiseFloorDbfs, &m.noiseDbfs}, fewNoiseBins);
    if (!WithinTolerance(noiseAndDistortion))
        FlagAll({&m.sinadDb, &m.enob}, fewNoiseBins);
    const double distortionSigma = std::sqrt(distortionVariance);
    if (distortion <= 2 * distortionSigma)
        m.thdDb.Flag("harmonics below the noise");
    else if (!WithinTolerance(distortionSigma / distortion))
        m.thdDb.Flag("harmonics too near the noise");
    if (!WithinTolerance(Sigma(spurPower, spurBins, floor, c.enbw, k) / std::max(spurPower, 1e-300)))
        m.sfdrDb.Flag("worst spur too near the noise");
    if (skirt.beyondReach || skirt.top >= std::pow(10, spur.levelDbfs / 10))
        m.sfdrDb.Flag(WindowLimitReason());

    // Where the leakage reaches the noise or the harmonics, what is measured there is the
    // window's, not the converter's.
    const double leaked = signal * leakShare;
    if (leaked > Tolerance * noise)
        FlagAll({&m.snrDb, &m.sinadDb, &m.enob, &m.noiseFloorDbfs, &m.noiseDbfs}, LeakageReason(settings.window));
    if (leakUnderHarmonics > Tolerance * std::max(distortion, floor * harmonicBins))
        m.thdDb.Flag(LeakageReason(settings.window));
    if (block.clipped)
        FlagAll({&m.signalDbfs, &m.snrDb, &m.sinadDb, &m.thdDb, &m.sfdrDb, &m.enob, &m.noiseFloorDbfs, &m.noiseDbfs},
                "clipping");
    return m;
}

Metric NoiseSpectralDensity(const DynamicMetrics& metrics, double sampleRateHz)
{
    Metric nsd = metrics.noiseDbfs;
    if (!(sampleRateHz > 0)) {
        nsd.Flag("sample rate unknown");
        return nsd;
    }
    nsd.value = metrics.noiseDbfs.value - 10 * std::log10(sampleRateHz / 2);
    return nsd;
}
