#pragma once

#include "Window.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Bins first up to (not including) end.
struct BinRange {
    std::size_t first = 0, end = 0;
    std::size_t Size() const { return end - first; }
    bool Overlaps(const BinRange& o) const { return first < o.end && o.first < end; }
};

// The bins within half-width bins of a fractional centre, clipped to 0..binCount.
BinRange LobeAt(double centre, int halfWidth, std::size_t binCount);

// Where a component at bin f (any sign, any multiple of the tone) lands after folding
// into the first Nyquist zone of a block of n samples.
double FoldedBin(double f, std::size_t n);

struct Peak {
    double value = -1;
    std::size_t at = 0;
};

// The first largest bin of values[r).
Peak FirstLargest(std::span<const double> values, BinRange r);

// What a lobe claimed from the ledger holds: the bins no earlier claim had taken.
struct Claim {
    BinRange lobe;
    double sum = 0, largest = 0;
    std::size_t bins = 0;
};

// Which bins of a power spectrum belong to what: DC, tones, harmonics and products are
// claimed in turn (a bin goes to the first claim), the window's skirt around a tone is
// marked, and what is left is noise. From the noise bins it gives the floor and from the
// free ones (neither claimed nor skirt) the highest spur.
class BinLedger {
public:
    explicit BinLedger(std::span<const double> power);

    Claim Take(BinRange lobe);
    std::size_t TakenBins() const { return taken_; }
    bool Taken(std::size_t k) const { return owner_[k] == Owner::Taken; }

    // The noise floor per bin: the mean of the unclaimed bins outside any skirt, left out
    // (in a few rounds) any that stand more than FloorClip times above that mean, so a
    // spur does not raise it. Also the plain sum of every unclaimed bin.
    static constexpr double FloorClip = 20;
    void FindFloor();
    double Floor() const { return floor_; }
    double NoiseSum() const { return noiseSum_; }
    std::size_t NoiseBins() const { return power_.size() - taken_; }
    std::size_t FloorBins() const { return floorBins_; }

    // Marks as skirt the unclaimed bins beyond a tone's main lobe where the window's
    // response to it (tonePower at its peak) stands above the floor, out to reach bins.
    // Gives the highest of them, and whether the skirt went on past the reach.
    struct Skirt {
        double top = 0;
        bool beyondReach = false;
    };
    Skirt MarkSkirt(WindowKind window, double centre, double tonePower, int reach);

    // The highest bin neither claimed nor in a skirt.
    Peak LargestFree() const;
    // The sum and count of the unclaimed bins of r.
    Claim Unclaimed(BinRange r) const;

private:
    enum class Owner : std::uint8_t { Noise, Skirt, Taken };
    std::span<const double> power_;
    std::vector<Owner> owner_;
    std::size_t taken_ = 0, floorBins_ = 0;
    double floor_ = 0, noiseSum_ = 0;
};
