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

SineLinearity SineCodeDensity(const CodeHistogram& h)
{
    SineLinearity s;
    const HitRange r = Hits(h);
    if (r.empty || r.last - r.first < 3)
        return s;

    // transitions[j]: lower edge of inner code first+1+j, on the sine's -1..1 scale.
    const std::size_t innerCodes = r.last - r.first - 1;
    std::vector<double> transitions(innerCodes + 1);
    std::int64_t cumulative = 0;
    for (std::size_t i = r.first; i < r.last; ++i) {
        cumulative += h.counts[i];
        transitions[i - r.first] =
            -std::cos(std::numbers::pi * double(cumulative) / double(h.inRange));
    }
    const double lsb = (transitions.back() - transitions.front()) / double(innerCodes);

    s.valid = true;
    s.firstCode = h.firstCode + int(r.first) + 1;
    s.dnl.resize(innerCodes);
    s.inl.resize(innerCodes);
    double inl = 0;
    for (std::size_t j = 0; j < innerCodes; ++j) {
        s.dnl[j] = (transitions[j + 1] - transitions[j]) / lsb - 1.0;
        inl += s.dnl[j];
        s.inl[j] = inl;
        if (h.counts[r.first + 1 + j] == 0)
            ++s.missingCodes;
    }
    const auto [dnlMin, dnlMax] = std::minmax_element(s.dnl.begin(), s.dnl.end());
    const auto [inlMin, inlMax] = std::minmax_element(s.inl.begin(), s.inl.end());
    s.dnlMin = *dnlMin;
    s.dnlMax = *dnlMax;
    s.inlMin = *inlMin;
    s.inlMax = *inlMax;
    return s;
}
