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
    // Plain loops over the bins with the owners as numbers, which the compiler vectorises.
    const std::size_t bins = power_.size();
    const double* p = power_.data();
    const Owner* owner = owner_.data();
    double all = 0, sum = 0, highest = 0, count = 0;
    for (std::size_t k = 0; k < bins; ++k) {
        const double unclaimed = owner[k] != Owner::Taken ? 1.0 : 0.0;
        const double floorBin = owner[k] == Owner::Noise ? 1.0 : 0.0;
        all += unclaimed * p[k];
        sum += floorBin * p[k];
        count += floorBin;
        const double candidate = floorBin * p[k];
        highest = candidate > highest ? candidate : highest;
    }
    noiseSum_ = all;
    double mean = count > 0 ? sum / count : 0.0;
    // Each round leaves out the bins far above the mean of the last; a spectrum without
    // spurs needs none.
    for (int round = 0; round < 4 && count > 0 && highest > FloorClip * mean; ++round) {
        const double limit = FloorClip * mean;
        double kept = 0, keptCount = 0;
        for (std::size_t k = 0; k < bins; ++k) {
            const double in = owner[k] == Owner::Noise && p[k] <= limit ? 1.0 : 0.0;
            kept += in * p[k];
            keptCount += in;
        }
        const bool settled = keptCount == count;
        count = keptCount;
        mean = count > 0 ? kept / count : 0.0;
        if (settled)
            break;
    }
    floor_ = mean;
    floorBins_ = std::size_t(count);
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
