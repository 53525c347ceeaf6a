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
