// The figures of a two-tone block: each tone's frequency and level, and the second- and
// third-order intermodulation products after folding.
#include "MetricRules.h"

#include <array>
#include <cmath>

namespace metric_rules {

namespace {

struct Product {
    int order;
    const char* name;
    int a, b;   // at a f1 + b f2
};

constexpr std::array<Product, 6> Products = {{
    {2, "f2-f1", -1, 1}, {2, "f1+f2", 1, 1},
    {3, "2f1-f2", 2, -1}, {3, "2f2-f1", -1, 2}, {3, "2f1+f2", 2, 1}, {3, "2f2+f1", 1, 2},
}};

struct Tone {
    double bin = 0, signal = 0;
    Claim claim;
};

// Each product owns the bins of its lobe that DC, the tones or an earlier product have not
// taken; gives the claims, in the order of Products, and puts the marks in t.products.
std::vector<Claim> ClaimProducts(const Context& c, BinLedger& ledger, const Tone (&tones)[2], TwoToneMetrics& t)
{
    const std::size_t bins = c.power.size();
    std::vector<Claim> claims;
    std::vector<BinRange> lobes{c.dc, tones[0].claim.lobe, tones[1].claim.lobe};
    for (const Product& p : Products) {
        IntermodMark mark{p.order, p.name, FoldedBin(p.a * tones[0].bin + p.b * tones[1].bin, c.block.n), 0, {}};
        const BinRange lobe = LobeAt(mark.bin, c.halfWidth, bins);
        const std::string what = std::string("product ") + p.name;
        if (lobe.Overlaps(c.dc))
            mark.reason = what + " folds onto DC";
        else if (lobe.Overlaps(tones[0].claim.lobe) || lobe.Overlaps(tones[1].claim.lobe))
            mark.reason = what + " folds onto a tone";
        else if (mark.bin + c.halfWidth > double(bins))
            mark.reason = what + " too near Nyquist";
        else
            for (std::size_t j = 3; j < lobes.size(); ++j)
                if (lobe.Overlaps(lobes[j]))
                    mark.reason = what + " folds onto another product";
        lobes.push_back(lobe);
        claims.push_back(ledger.Take(lobe));
        t.products.push_back(mark);
    }
    return claims;
}

// One order's figures: the products' powers summed, with their uncertainty and the tones'
// leakage under them.
void ImdOfOrder(const Context& c, int order, const std::vector<Claim>& claims, const Tone (&tones)[2], double floor,
                TwoToneMetrics& t)
{
    const int k = std::max(c.block.averaged, 1);
    double sum = 0, variance = 0, leak = 0, productBins = 0;
    std::string reason;
    for (std::size_t i = 0; i < Products.size(); ++i) {
        if (Products[i].order != order)
            continue;
        const double own = claims[i].sum - floor * double(claims[i].bins);
        t.products[i].levelDbfs = Db(std::max(own / c.enbw, claims[i].largest));
        sum += std::max(own, 0.0);
        variance += std::pow(Sigma(own, claims[i].bins, floor, c.enbw, k), 2);
        productBins += double(claims[i].bins);
        for (const Tone& tone : tones)
            leak += tone.signal / c.enbw * WindowPowerResponse(c.settings.window, t.products[i].bin - tone.bin)
                    * double(claims[i].bins);
        if (reason.empty())
            reason = t.products[i].reason;
    }
    const double larger = std::max(tones[0].signal, tones[1].signal);
    Metric& dbc = order == 2 ? t.imd2Dbc : t.imd3Dbc;
    Metric& dbfs = order == 2 ? t.imd2Dbfs : t.imd3Dbfs;
    dbc = {Db(sum / larger), reason};
    dbfs = {Db(sum / c.enbw), reason};
    const double sigma = std::sqrt(variance);
    const std::string below = sum <= 2 * sigma ? "products below the noise"
                              : !WithinTolerance(sigma / sum, ImdTolerance) ? "products too near the noise" : "";
    for (Metric* metric : {&dbc, &dbfs}) {
        if (!below.empty())
            metric->Flag(below);
        if (leak > ImdTolerance * std::max(sum, floor * productBins))
            metric->Flag(LeakageReason(c.settings.window));
    }
}

// The single-tone figures do not apply; the level, the noise and the spurs still do.
void SingleToneFigures(const Context& c, const BinLedger& ledger, const std::vector<Claim>& claims,
                       const Tone& loud, DynamicMetrics& m)
{
    const double floor = ledger.Floor();
    const char* twoTones = "two tones in the block: see IMD";
    for (Metric* metric : {&m.snrDb, &m.sinadDb, &m.thdDb, &m.enob})
        metric->Flag(twoTones);
    m.frequencyBin.value = loud.bin;
    m.signalDbfs.value = Db(loud.signal / c.enbw);
    const double noise = ledger.NoiseSum() + floor * double(ledger.TakenBins());
    m.noiseFloorDbfs.value = Db(floor);
    m.noiseDbfs.value = Db(noise / c.enbw);

    WorstSpur spur;
    for (std::size_t i = 0; i < Products.size(); ++i)
        spur.Consider(m.twoTone.products[i].bin, m.twoTone.products[i].levelDbfs, 0, claims[i], floor);
    spur.ConsiderFree(c, ledger);
    m.worstSpur = spur.mark;
    m.sfdrDb.value = m.signalDbfs.value - spur.mark.levelDbfs;
    if (spur.NearNoise(c, floor))
        m.sfdrDb.Flag("worst spur too near the noise");
}

} // namespace

void ComputeTwoTone(const Context& c, BinLedger& ledger, const Claim& first, double f1, Peak second, DynamicMetrics& m)
{
    TwoToneMetrics& t = m.twoTone;
    t.found = true;

    const double f2 = ToneCentre(c, second.at);
    const BinRange secondLobe = LobeAt(f2, c.halfWidth, c.power.size());
    Tone tones[2] = {{f1, 0, first}, {f2, 0, ledger.Take(secondLobe)}};
    // Tone 1 is the lower in frequency.
    if (tones[1].bin < tones[0].bin)
        std::swap(tones[0], tones[1]);

    const std::vector<Claim> claims = ClaimProducts(c, ledger, tones, t);
    const Tone& secondTone = tones[0].claim.lobe.first == secondLobe.first ? tones[0] : tones[1];
    ledger.MarkSkirt(c.settings.window, secondTone.bin,
                     (secondTone.claim.sum - ledger.Floor() * double(secondTone.claim.bins)) / c.enbw, SkirtReach);
    ledger.FindFloor();
    const double floor = ledger.Floor();

    for (Tone& tone : tones) {
        const double leak = LeakageOutsideMainLobe(c.settings.window, tone.bin - std::round(tone.bin));
        tone.signal = std::max((tone.claim.sum - floor * double(tone.claim.bins)) / (1 - std::min(leak, 0.5)), 1e-30);
    }
    t.tone1Bin = {tones[0].bin, {}};
    t.tone2Bin = {tones[1].bin, {}};
    t.tone1Dbfs = {Db(tones[0].signal / c.enbw), {}};
    t.tone2Dbfs = {Db(tones[1].signal / c.enbw), {}};
    for (const int order : {2, 3})
        ImdOfOrder(c, order, claims, tones, floor, t);

    SingleToneFigures(c, ledger, claims, tones[0].signal >= tones[1].signal ? tones[0] : tones[1], m);
    if (c.block.clipped)
        for (Metric* metric : {&m.signalDbfs, &m.sfdrDb, &m.noiseFloorDbfs, &m.noiseDbfs, &t.tone1Dbfs, &t.tone2Dbfs,
                               &t.imd2Dbc, &t.imd3Dbc, &t.imd2Dbfs, &t.imd3Dbfs})
            metric->Flag("clipping");
}

} // namespace metric_rules
