#include "BinLedger.h"

#include <algorithm>
#include <cmath>

BinRange LobeAt(double centre, int halfWidth, std::size_t binCount)
{
    const double lo = std::max(std::ceil(centre - halfWidth), 0.0);
    const double hi = std::min(std::floor(centre + halfWidth) + 1, double(binCount));
    return {std::size_t(lo), std::size_t(std::max(lo, hi))};
}

double FoldedBin(double f, std::size_t n)
{
    const double folded = std::fmod(std::abs(f), double(n));
    return folded > double(n) / 2 ? double(n) - folded : folded;
}

Peak FirstLargest(std::span<const double> values, BinRange r)
{
    Peak best;
    for (std::size_t k = r.first; k < r.end; ++k)
        if (values[k] > best.value)
            best = {values[k], k};
    return best;
}

BinLedger::BinLedger(std::span<const double> power) : power_(power), owner_(power.size(), Owner::Noise) {}

Claim BinLedger::Take(BinRange lobe)
{
    Claim c{lobe};
    for (std::size_t k = lobe.first; k < lobe.end; ++k) {
        if (owner_[k] == Owner::Taken)
            continue;
        owner_[k] = Owner::Taken;
        c.sum += power_[k];
        c.largest = std::max(c.largest, power_[k]);
        ++c.bins;
        ++taken_;
    }
    return c;
}

void BinLedger::FindFloor()
{
    double all = 0, sum = 0;
    std::size_t count = 0;
    for (std::size_t k = 0; k < power_.size(); ++k) {
        const double p = power_[k];
        all += owner_[k] != Owner::Taken ? p : 0.0;
        const bool floorBin = owner_[k] == Owner::Noise;
        sum += floorBin ? p : 0.0;
        count += floorBin;
    }
    noiseSum_ = all;
    double mean = count ? sum / double(count) : 0.0;
    // Each round leaves out the bins far above the mean of the last; a spectrum without
    // spurs stops after one.
    for (int round = 0; round < 4 && count > 0; ++round) {
        const double limit = FloorClip * mean;
        double kept = 0;
        std::size_t keptCount = 0;
        for (std::size_t k = 0; k < power_.size(); ++k) {
            const bool in = owner_[k] == Owner::Noise && power_[k] <= limit;
            kept += in ? power_[k] : 0.0;
            keptCount += in;
        }
        const bool settled = keptCount == count;
        count = keptCount;
        mean = count ? kept / double(count) : 0.0;
        if (settled)
            break;
    }
    floor_ = mean;
    floorBins_ = count;
}

BinLedger::Skirt BinLedger::MarkSkirt(WindowKind window, double centre, double tonePower, int reach)
{
    Skirt skirt;
    const int halfWidth = MainLobeHalfWidth(window);
    const auto bins = std::ptrdiff_t(power_.size());
    for (const int side : {-1, 1}) {
        // From the first bin past the main lobe outwards, while the window's response
        // stands above the floor.
        auto k = std::ptrdiff_t(side > 0 ? std::floor(centre + halfWidth) + 1 : std::ceil(centre - halfWidth) - 1);
        int step = 0;
        for (; step < reach && k >= 0 && k < bins; ++step, k += side) {
            const double leak = tonePower * WindowPowerResponse(window, double(k) - centre);
            if (!(leak > floor_))
                break;
            skirt.top = std::max(skirt.top, leak);
            if (owner_[std::size_t(k)] == Owner::Noise)
                owner_[std::size_t(k)] = Owner::Skirt;
        }
        if (step == reach)
            skirt.beyondReach = true;
    }
    return skirt;
}

Peak BinLedger::LargestFree() const
{
    Peak best{0, 0};
    for (std::size_t k = 0; k < power_.size(); ++k)
        if (owner_[k] == Owner::Noise && power_[k] > best.value)
            best = {power_[k], k};
    return best;
}

Claim BinLedger::Unclaimed(BinRange r) const
{
    Claim c{r};
    for (std::size_t k = r.first; k < r.end; ++k)
        if (owner_[k] != Owner::Taken) {
            c.sum += power_[k];
            c.largest = std::max(c.largest, power_[k]);
            ++c.bins;
        }
    return c;
}
