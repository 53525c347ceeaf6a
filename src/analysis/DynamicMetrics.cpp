#include "DynamicMetrics.h"

#include "MetricRules.h"

#include <algorithm>
#include <array>
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

std::array<Metric*, 9> AllFigures(DynamicMetrics& m)
{
    return {&m.frequencyBin, &m.signalDbfs, &m.snrDb, &m.sinadDb, &m.thdDb, &m.sfdrDb, &m.enob, &m.noiseFloorDbfs,
            &m.noiseDbfs};
}

struct HarmonicClaim {
    Claim claim;
    bool spoilsSinad = false;   // its lobe is cut or shared with DC or the fundamental
};

// Each harmonic owns the bins of its lobe that DC, the fundamental or a lower harmonic
// has not taken. Their marks go to `marks`, orders 2..H.
std::vector<HarmonicClaim> ClaimHarmonics(const Context& c, BinLedger& ledger, double f0,
                                          const BinRange& fundamentalLobe, std::vector<HarmonicMark>& marks)
{
    const std::size_t bins = c.power.size();
    const int highest = std::clamp(c.settings.harmonics, 2, 25);
    std::vector<HarmonicClaim> harmonics;
    harmonics.reserve(std::size_t(highest) - 1);
    marks.reserve(std::size_t(highest) - 1);
    for (int h = 2; h <= highest; ++h) {
        HarmonicMark mark{h, FoldedBin(h * f0, c.block.n), 0, {}};
        const BinRange lobe = LobeAt(mark.bin, c.halfWidth, bins);
        const std::string order = "harmonic " + std::to_string(h);
        bool spoils = true;
        if (lobe.Overlaps(c.dc))
            mark.reason = order + " folds onto DC";
        else if (lobe.Overlaps(fundamentalLobe))
            mark.reason = order + " folds onto the fundamental";
        else if (mark.bin + c.halfWidth > double(bins))
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
        marks.push_back(mark);
    }
    return harmonics;
}

// Why the tone found cannot be measured; null when it can.
const char* ToneProblem(const Context& c, const Peak& top, double f0, double floor)
{
    // Noise alone, or a constant block's rounding residue, has no bin far above the rest.
    if (top.value < ToneClearance * floor)
        return "no tone found";
    if (f0 - c.halfWidth < double(c.dc.end))
        return "tone too near DC";
    if (f0 + c.halfWidth > double(c.power.size()))
        return "tone too near Nyquist";
    return nullptr;
}

// Two tones: the bins are shared out afresh, products in place of harmonics.
void MeasureTwoTones(const Context& c, const BinRange& fundamentalLobe, double f0, double firstSignal, Peak second,
                     DynamicMetrics& m)
{
    m.harmonics.clear();
    BinLedger pair(c.power);
    pair.Take(c.dc);
    const Claim first = pair.Take(fundamentalLobe);
    pair.FindFloor();
    pair.MarkSkirt(c.settings.window, f0, firstSignal / c.enbw, SkirtReach);
    ComputeTwoTone(c, pair, first, f0, second, m);
}

// What the single-tone figures are read from, with the uncertainties the floor leaves.
struct SingleTone {
    double floor = 0, leakShare = 0, signal = 0, noise = 0;
    double distortion = 0, distortionVariance = 0, leakUnderHarmonics = 0, harmonicBins = 0;
    double noiseSigma = 0, noiseAndDistortionSigma = 0;
};

// Reads the tone, its harmonics and the noise from the ledger and sets the figures'
// values and the harmonics' levels.
SingleTone MeasureSingleTone(const Context& c, const BinLedger& ledger, const Claim& fundamental,
                             const std::vector<HarmonicClaim>& harmonics, double f0, double leakShare,
                             DynamicMetrics& m)
{
    const int k = std::max(c.block.averaged, 1);
    const double floor = ledger.Floor();
    SingleTone r{floor, leakShare};
    // The signal: the lobe less the floor under it, scaled back to the whole tone when it
    // falls between bins (the window spreads leak(d) of it past the lobe).
    r.signal = std::max((fundamental.sum - floor * double(fundamental.bins)) / (1 - std::min(leakShare, 0.5)), 1e-30);
    for (std::size_t i = 0; i < harmonics.size(); ++i) {
        const Claim& h = harmonics[i].claim;
        const double own = h.sum - floor * double(h.bins);
        r.distortion += std::max(own, 0.0);
        r.distortionVariance += std::pow(Sigma(own, h.bins, floor, c.enbw, k), 2);
        r.leakUnderHarmonics += r.signal / c.enbw * WindowPowerResponse(c.settings.window, m.harmonics[i].bin - f0)
                                * double(h.bins);
        r.harmonicBins += double(h.bins);
        m.harmonics[i].levelDbfs = Db(std::max(own / c.enbw, h.largest));
    }
    // The noise by its definition: every bin not claimed, and the claimed ones at the floor.
    r.noise = ledger.NoiseSum() + floor * double(ledger.TakenBins());
    // Its uncertainty is that of the floor put in for the claimed bins. Noise and
    // distortion together are every bin but DC's and the fundamental's, so only those
    // are put in for SINAD.
    const auto fillSigma = [&](std::size_t filled) {
        const double share = double(filled) / double(std::max<std::size_t>(ledger.FloorBins(), 1));
        return floor * std::sqrt(double(filled) * c.enbw * (1 + share) / k);
    };
    r.noiseSigma = fillSigma(ledger.TakenBins());
    r.noiseAndDistortionSigma = fillSigma(c.dc.Size() + fundamental.bins);

    m.signalDbfs.value = Db(r.signal / c.enbw);
    m.snrDb.value = Db(r.signal / r.noise);
    m.sinadDb.value = Db(r.signal / (r.noise + r.distortion));
    m.thdDb.value = Db(r.distortion / r.signal);
    m.enob.value = (m.sinadDb.value - m.signalDbfs.value - 1.76) / 6.02;
    m.noiseFloorDbfs.value = Db(floor);
    m.noiseDbfs.value = Db(r.noise / c.enbw);
    return r;
}

// A harmonic whose level cannot be read spoils THD, and SINAD and ENOB where its lobe is
// cut or shared.
void FlagHarmonicReasons(const std::vector<HarmonicClaim>& harmonics, DynamicMetrics& m)
{
    for (std::size_t i = 0; i < harmonics.size(); ++i) {
        const HarmonicMark& mark = m.harmonics[i];
        if (mark.reason.empty())
            continue;
        m.thdDb.Flag(mark.reason);
        if (!harmonics[i].spoilsSinad)
            continue;
        FlagAll({&m.sinadDb, &m.enob}, mark.reason);
        // A cut lobe may read up to twice its power: it spoils SFDR if it could be the worst.
        if (mark.levelDbfs + 3.1 >= m.worstSpur.levelDbfs)
            m.sfdrDb.Flag(mark.reason);
    }
}

// Figures whose parts the noise leaves uncertain by more than 0.1 dB.
void FlagUncertainties(const Context& c, const BinLedger& ledger, const SingleTone& r, const Claim& fundamental,
                       const WorstSpur& spur, DynamicMetrics& m)
{
    const double signalSigma = Sigma(r.signal, fundamental.bins, r.floor, c.enbw, c.block.averaged) / r.signal;
    const double noiseRelative = r.noiseSigma / r.noise;
    const double noiseAndDistortion = r.noiseAndDistortionSigma / (r.noise + r.distortion);
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
    const double distortionSigma = std::sqrt(r.distortionVariance);
    if (r.distortion <= 2 * distortionSigma)
        m.thdDb.Flag("harmonics below the noise");
    else if (!WithinTolerance(distortionSigma / r.distortion))
        m.thdDb.Flag("harmonics too near the noise");
    if (spur.NearNoise(c, r.floor))
        m.sfdrDb.Flag("worst spur too near the noise");
}

// Where the leakage reaches the noise or the harmonics, what is measured there is the
// window's, not the converter's; a clipped block spoils every level.
void FlagLeakageAndClipping(const Context& c, const SingleTone& r, DynamicMetrics& m)
{
    const WindowKind window = c.settings.window;
    const double leaked = r.signal * r.leakShare;
    if (leaked > Tolerance * r.noise)
        FlagAll({&m.snrDb, &m.sinadDb, &m.enob, &m.noiseFloorDbfs, &m.noiseDbfs}, LeakageReason(window));
    if (r.leakUnderHarmonics > Tolerance * std::max(r.distortion, r.floor * r.harmonicBins))
        m.thdDb.Flag(LeakageReason(window));
    if (c.block.clipped)
        FlagAll({&m.signalDbfs, &m.snrDb, &m.sinadDb, &m.thdDb, &m.sfdrDb, &m.enob, &m.noiseFloorDbfs, &m.noiseDbfs},
                "clipping");
}

} // namespace

namespace metric_rules {

double ToneCentre(const Context& c, std::size_t peak)
{
    const std::size_t bins = c.power.size();
    const double left = peak > 0 ? c.power[peak - 1] : 0.0, right = peak + 1 < bins ? c.power[peak + 1] : 0.0;
    const double side = right > left ? 1.0 : -1.0;
    return double(peak) + side * ToneOffset(c.settings.window, std::sqrt(std::max(left, right) / c.power[peak]));
}

} // namespace metric_rules

void DynamicMetrics::Invalidate(const std::string& reason)
{
    for (Metric* m : AllFigures(*this)) {
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
    const std::vector<HarmonicClaim> harmonics = ClaimHarmonics(c, ledger, f0, fundamentalLobe, m.harmonics);
    ledger.FindFloor();
    if (const char* problem = ToneProblem(c, top, f0, ledger.Floor())) {
        m.Invalidate(problem);
        return m;
    }
    for (Metric* metric : AllFigures(m))
        metric->reason.clear();
    m.frequencyBin.value = f0;

    const double leakShare = LeakageOutsideMainLobe(settings.window, f0 - std::round(f0));
    const double firstSignal = (fundamental.sum - ledger.Floor() * double(fundamental.bins)) / (1 - std::min(leakShare, 0.5));
    const BinLedger::Skirt skirt = ledger.MarkSkirt(settings.window, f0, firstSignal / c.enbw, SkirtReach);
    const Peak second = ledger.LargestFree();
    if (second.value >= SecondToneShare * top.value && second.value >= ToneClearance * ledger.Floor()) {
        MeasureTwoTones(c, fundamentalLobe, f0, firstSignal, second, m);
        return m;
    }
    const SingleTone r = MeasureSingleTone(c, ledger, fundamental, harmonics, f0, leakShare, m);

    // The worst spur: a harmonic, or the highest bin outside the tone's skirt with its lobe.
    WorstSpur spur;
    for (std::size_t i = 0; i < harmonics.size(); ++i)
        spur.Consider(m.harmonics[i].bin, m.harmonics[i].levelDbfs, m.harmonics[i].order, harmonics[i].claim, r.floor);
    spur.ConsiderFree(c, ledger);
    m.worstSpur = spur.mark;
    m.sfdrDb.value = m.signalDbfs.value - spur.mark.levelDbfs;

    // Validity: what each figure is built from decides whether it can be trusted.
    FlagHarmonicReasons(harmonics, m);
    FlagUncertainties(c, ledger, r, fundamental, spur, m);
    if (skirt.beyondReach || skirt.top >= std::pow(10, spur.mark.levelDbfs / 10))
        m.sfdrDb.Flag(WindowLimitReason());
    FlagLeakageAndClipping(c, r, m);
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
