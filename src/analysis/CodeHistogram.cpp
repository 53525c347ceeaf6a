#include "CodeHistogram.h"

#include <algorithm>
#include <cmath>

CodeHistogram CountCodes(std::span<const double> codes, int bits)
{
    bits = std::clamp(bits, 1, 16);
    const int codeCount = 1 << bits;
    const bool twosComplement =
        std::any_of(codes.begin(), codes.end(), [](double c) { return std::nearbyint(c) < 0; });

    CodeHistogram h;
    h.firstCode = twosComplement ? -codeCount / 2 : 0;
    h.counts.assign(std::size_t(codeCount), 0);
    for (const double c : codes) {
        const double offset = std::nearbyint(c) - h.firstCode;
        if (offset >= 0 && offset < codeCount) {
            ++h.counts[std::size_t(offset)];
            ++h.inRange;
        } else {
            ++h.outOfRange;   // also NaN
        }
    }
    return h;
}

void CodeHistogramAccumulator::Add(std::span<const double> codes, int bits)
{
    CodeHistogram block = CountCodes(codes, bits);
    if (blocks_ == 0 || block.firstCode != sum_.firstCode || block.counts.size() != sum_.counts.size()) {
        sum_ = std::move(block);
        blocks_ = 1;
        return;
    }
    for (std::size_t i = 0; i < sum_.counts.size(); ++i)
        sum_.counts[i] += block.counts[i];
    sum_.inRange += block.inRange;
    sum_.outOfRange += block.outOfRange;
    ++blocks_;
}

void CodeHistogramAccumulator::Restart()
{
    sum_ = {};
    blocks_ = 0;
}
