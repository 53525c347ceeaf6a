#pragma once

#include <cstdint>
#include <span>
#include <vector>

// How often each code of a resolution occurs. The range is the full code range of the
// resolution: -2^(b-1)..2^(b-1)-1 when the codes hold a negative one (two's complement),
// 0..2^b-1 otherwise. Codes outside it are not clamped onto the end codes (that would
// fake hits there) but counted as out of range.
struct CodeHistogram {
    int firstCode = 0;                  // the code counted in counts[0]
    std::vector<std::int64_t> counts;   // one per code of the range
    std::int64_t outOfRange = 0;
    std::int64_t inRange = 0;

    int LastCode() const { return firstCode + int(counts.size()) - 1; }
};

// bits is limited to 1..16, the widest code the board delivers.
CodeHistogram CountCodes(std::span<const double> codes, int bits);

// The code histogram summed over blocks until restarted. A block of another resolution
// or code format starts the sum again.
class CodeHistogramAccumulator {
public:
    void Add(std::span<const double> codes, int bits);
    void Restart();
    const CodeHistogram& Histogram() const { return sum_; }
    int Blocks() const { return blocks_; }

private:
    CodeHistogram sum_;
    int blocks_ = 0;
};
