// The worst spur of a block, shared by the single-tone and the two-tone figures.
#include "MetricRules.h"

namespace metric_rules {

void WorstSpur::Offer(double bin, double levelDbfs, int order, double lobePower, std::size_t lobeBins)
{
    if (mark.found && !(levelDbfs > mark.levelDbfs))
        return;
    mark = {true, bin, levelDbfs, order};
    power = lobePower;
    bins = lobeBins;
}

void WorstSpur::Consider(double bin, double levelDbfs, int order, const Claim& claim, double floor)
{
    Offer(bin, levelDbfs, order, claim.sum - floor * double(claim.bins), claim.bins);
}

void WorstSpur::ConsiderFree(const Context& c, const BinLedger& ledger)
{
    const Peak peak = ledger.LargestFree();
    if (!(peak.value > 0))
        return;
    const Claim lobe = ledger.Unclaimed(LobeAt(double(peak.at), c.halfWidth, c.power.size()));
    const double lobePower = lobe.sum - ledger.Floor() * double(lobe.bins);
    Offer(double(peak.at), Db(std::max(lobePower / c.enbw, peak.value)), 0, lobePower, lobe.bins);
}

bool WorstSpur::NearNoise(const Context& c, double floor) const
{
    return !WithinTolerance(Sigma(power, bins, floor, c.enbw, c.block.averaged) / std::max(power, 1e-300));
}

} // namespace metric_rules
