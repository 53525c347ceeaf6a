#include "CoherentFrequency.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

bool Usable(std::int64_t cycles, std::int64_t n)
{
    return cycles > 0 && 2 * cycles < n && cycles % 2 == 1 && std::gcd(cycles, n) == 1;
}

} // namespace

std::vector<CoherentFrequency> NearestCoherentFrequencies(double wantedHz, double fs, std::int64_t n)
{
    std::vector<CoherentFrequency> found;
    if (!(fs > 0) || n < 4 || !std::isfinite(wantedHz))
        return found;
    const double wanted = std::clamp(wantedHz * double(n) / fs, 0.0, double(n) / 2);
    const auto below = std::int64_t(std::floor(wanted));
    for (std::int64_t c = below; c > 0; --c)
        if (Usable(c, n)) {
            found.push_back({c, double(c) * fs / double(n)});
            break;
        }
    for (std::int64_t c = below + 1; 2 * c < n; ++c)
        if (Usable(c, n) && (found.empty() || c != found.front().cycles)) {
            found.push_back({c, double(c) * fs / double(n)});
            break;
        }
    std::sort(found.begin(), found.end(), [&](const auto& a, const auto& b) {
        return std::abs(double(a.cycles) - wanted) < std::abs(double(b.cycles) - wanted);
    });
    return found;
}
