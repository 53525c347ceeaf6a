#include "SineCodeDensity.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct HitRange {
    std::size_t first = 0, last = 0;   // indices of the first and last hit codes
    bool empty = true;
};

HitRange Hits(const CodeHistogram& h)
{
    HitRange r;
    for (std::size_t i = 0; i < h.counts.size(); ++i) {
        if (h.counts[i] == 0)
            continue;
        if (r.empty)
            r.first = i;
        r.last = i;
        r.empty = false;
    }
    return r;
}

} // namespace

bool LooksLikeSine(const CodeHistogram& h)
{
    const HitRange r = Hits(h);
    if (r.empty || r.last - r.first < 16 || h.inRange < 256)
        return false;
    const double centre = (double(r.first) + double(r.last)) / 2;
    const double quarterSpan = (double(r.last) - double(r.first)) / 4;
    std::int64_t middle = 0;
    for (std::size_t i = r.first; i <= r.last; ++i)
        if (std::abs(double(i) - centre) < quarterSpan)
            middle += h.counts[i];
    const double fraction = double(middle) / double(h.inRange);
    return fraction > 0.25 && fraction < 0.42;
}

namespace {

// A sine short of an end of the range turns at the code where it dwells longest; the
// codes beyond are noise tails. That code stands in for the end, holding the tail's hits
// (the cumulative counts are unchanged).
HitRange SineEnds(const CodeHistogram& h, const HitRange& r)
{
    auto largestIn = [&](std::size_t from, std::size_t to) {
        std::size_t best = from;
        for (std::size_t i = from; i <= to; ++i)
            if (h.counts[i] > h.counts[best])
                best = i;
        return best;
    };
    HitRange ends = r;
    const std::size_t middle = (r.first + r.last) / 2;
    if (h.counts.front() == 0)
        ends.first = largestIn(r.first, middle);
    if (h.counts.back() == 0)
        ends.last = largestIn(middle + 1, r.last);
    return ends;
}

// The sine's amplitude a and centre c in LSB and the level of each transition t (1..M),
// which lies between codes first+t-1 and first+t; the first and last sit at their ideal
// levels 1 and M.
struct Transitions {
    double a = 0, c = 0;
    std::vector<double> level;   // index t; [0] unused
};

Transitions TransitionLevels(const CodeHistogram& h, const HitRange& r, const HitRange& ends)
{
    const std::size_t transitions = ends.last - ends.first;
    const double total = double(h.inRange);
    std::int64_t below = 0, above = 0;
    for (std::size_t i = r.first; i <= ends.first; ++i)
        below += h.counts[i];
    for (std::size_t i = ends.last; i <= r.last; ++i)
        above += h.counts[i];
    const double cosFirst = std::cos(std::numbers::pi * double(below) / total);
    const double cosLast = std::cos(std::numbers::pi * double(above) / total);
    Transitions tr;
    tr.a = double(transitions - 1) / (cosFirst + cosLast);
    tr.c = 1 + tr.a * cosFirst;
    tr.level.resize(transitions + 1);
    tr.level[1] = 1;
    for (std::size_t t = 2; t <= transitions; ++t) {
        below += h.counts[ends.first + t - 1];
        tr.level[t] = tr.c - tr.a * std::cos(std::numbers::pi * double(below) / total);
    }
    return tr;
}

// Each inner code's DNL and INL, the codes never hit, and the hits the least likely code
// should get, with the counting error that leaves.
void InnerCodes(const CodeHistogram& h, const HitRange& ends, const Transitions& tr, SineLinearity& s)
{
    const std::size_t transitions = ends.last - ends.first;
    const double a = tr.a, c = tr.c;
    s.dnl.resize(transitions - 1);
    s.inl.resize(transitions - 1);
    auto fractionBelow = [&](double t) { return std::acos(std::clamp((c - t) / a, -1.0, 1.0)) / std::numbers::pi; };
    double leastShare = 1;
    for (std::size_t t = 1; t < transitions; ++t) {
        s.dnl[t - 1] = tr.level[t + 1] - tr.level[t] - 1.0;
        s.inl[t - 1] = tr.level[t] - double(t);
        if (h.counts[ends.first + t] == 0) {
            s.dnl[t - 1] = -1.0;   // exactly: no hits, no width
            ++s.missingCodes;
        }
        leastShare = std::min(leastShare, fractionBelow(double(t + 1)) - fractionBelow(double(t)));
    }
    s.leastExpectedHits = leastShare * double(h.inRange);
    s.uncertaintyLsb = 1 / std::sqrt(std::max(s.leastExpectedHits, 1e-9));
    s.enoughHits = s.leastExpectedHits >= SineLinearity::MinHitsPerCode;
    const auto [dnlMin, dnlMax] = std::minmax_element(s.dnl.begin(), s.dnl.end());
    const auto [inlMin, inlMax] = std::minmax_element(s.inl.begin(), s.inl.end());
    s.dnlMin = *dnlMin;
    s.dnlMax = *dnlMax;
    s.inlMin = *inlMin;
    s.inlMax = *inlMax;
}

} // namespace

SineLinearity SineCodeDensity(const CodeHistogram& h)
{
    SineLinearity s;
    const HitRange r = Hits(h);
    if (r.empty || r.last - r.first < 3) {
        s.reason = "too few codes hit";
        return s;
    }
    if (!LooksLikeSine(h)) {
        s.reason = "the codes are not spread like a sine";
        return s;
    }
    s.reachesBothEnds = h.counts.front() > 0 && h.counts.back() > 0;
    const HitRange ends = SineEnds(h, r);
    if (ends.last - ends.first < 3) {
        s.reason = "too few codes hit";
        return s;
    }

    const Transitions tr = TransitionLevels(h, r, ends);
    s.valid = true;
    s.amplitudeLsb = tr.a;
    s.offsetLsb = tr.c - double(ends.last - ends.first) / 2;
    s.firstCode = h.firstCode + int(ends.first) + 1;
    InnerCodes(h, ends, tr, s);
    if (!s.enoughHits)
        s.reason = "too few hits per code";
    return s;
}
