#include "Window.h"

#include <cmath>
#include <numbers>
#include <algorithm>
#include <array>
#include <span>

std::span<const double> WindowCoefficients(WindowKind kind)
{
    static constexpr double rectangular[] = {1.0};
    static constexpr double hann[] = {0.5, 0.5};
    static constexpr double blackmanHarris4[] = {0.35875, 0.48829, 0.14128, 0.01168};
    static constexpr double blackmanHarris7[] = {0.27105140069342, 0.43329793923448,
                                                 0.21812299954311, 0.06592544638803,
                                                 0.01081174209837, 0.00077658482522,
                                                 0.00001388721735};
    static constexpr double flatTop[] = {0.21557895, 0.41663158, 0.277263158, 0.083578947,
                                         0.006947368};
    switch (kind) {
    case WindowKind::Rectangular: return rectangular;
    case WindowKind::Hann: return hann;
    case WindowKind::BlackmanHarris7: return blackmanHarris7;
    case WindowKind::FlatTop: return flatTop;
    case WindowKind::BlackmanHarris4: break;
    }
    return blackmanHarris4;
}

const char* WindowName(WindowKind kind)
{
    switch (kind) {
    case WindowKind::Rectangular: return "Rect";
    case WindowKind::Hann: return "Hann";
    case WindowKind::BlackmanHarris7: return "BH7";
    case WindowKind::FlatTop: return "Flat top";
    case WindowKind::BlackmanHarris4: break;
    }
    return "BH4";
}

int MainLobeHalfWidth(WindowKind kind)
{
    return int(WindowCoefficients(kind).size());
}

std::vector<double> MakeWindow(WindowKind kind, std::size_t n)
{
    const auto a = WindowCoefficients(kind);
    std::vector<double> w(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double phase = 2.0 * std::numbers::pi * double(i) / double(n);
        double sum = 0.0;
        for (std::size_t k = 0; k < a.size(); ++k)
            sum += (k % 2 ? -a[k] : a[k]) * std::cos(double(k) * phase);
        w[i] = sum;
    }
    return w;
}

namespace {

// sum_m a'_m (-1)^m / (d - m) over m = -(terms-1)..terms-1 (a'_0 = a0, a'_{+-m} = a_m / 2).
// Since sin(pi (d - m)) = (-1)^m sin(pi d), a unit tone's amplitude in a bin d bins from
// it, sum_m a'_m sinc(d - m) (the large-N form of the window's spectrum), is
// sin(pi d) / pi times this: one sine for the whole sum.
double ShapeSum(std::span<const double> a, double d)
{
    double x = a[0] / d;
    for (std::size_t m = 1; m < a.size(); ++m) {
        const double sign = m % 2 ? -1.0 : 1.0;
        x += sign * a[m] / 2 * (1 / (d - double(m)) + 1 / (d + double(m)));
    }
    return x;
}

double Response(std::span<const double> a, double d)
{
    const double nearest = std::round(d);
    if (std::abs(d - nearest) < 1e-9) {   // on a bin: only that coefficient is left
        const auto m = std::size_t(std::abs(nearest));
        return m == 0 ? a[0] : m < a.size() ? a[m] / 2 : 0.0;
    }
    return std::sin(std::numbers::pi * d) / std::numbers::pi * ShapeSum(a, d);
}

} // namespace

namespace {

// The sum part of the leakage: the leakage is sin^2(pi f) / pi^2 times this.
double LeakageSum(std::span<const double> a, double fraction)
{
    // Summed over the bins outside the lobe (each a small number, so nothing cancels)
    // as far as the sidelobes matter: the rectangular window's fall as 1/d, the others'
    // at least as 1/d^3.
    const int terms = int(a.size());
    double total = a[0] * a[0];
    for (int m = 1; m < terms; ++m)
        total += a[std::size_t(m)] * a[std::size_t(m)] / 2;
    const int reach = terms == 1 ? 512 : 64;
    double outside = 0;
    for (int k = -reach; k <= reach; ++k) {
        const double d = double(k) - fraction;
        if (std::abs(d) > terms) {
            const double s = ShapeSum(a, d);
            outside += s * s;
        }
    }
    if (terms == 1)
        outside += 2.0 / reach;   // the rest of sum 1/d^2 beyond the reach
    return outside / total;
}

double ToneRatio(std::span<const double> a, double d)
{
    return d < 1e-12 ? std::abs(Response(a, 1) / Response(a, 0)) : std::abs(ShapeSum(a, 1 - d) / ShapeSum(a, d));
}

// Both functions of the tone's offset (0..0.5 bins) are smooth; tabulated once per window
// at 129 points, a block reads them by linear interpolation (to about 1e-5 relative).
constexpr int TablePoints = 129;

struct OffsetTables {
    std::array<double, TablePoints> leakageSum{}, ratio{};
};

OffsetTables BuildTables(WindowKind kind)
{
    OffsetTables t;
    const auto a = WindowCoefficients(kind);
    for (int i = 0; i < TablePoints; ++i) {
        const double d = 0.5 * i / (TablePoints - 1);
        t.leakageSum[std::size_t(i)] = LeakageSum(a, std::max(d, 1e-9));
        t.ratio[std::size_t(i)] = ToneRatio(a, d);
    }
    return t;
}

// Built on first use, once per window (thread-safe, like any local static).
const OffsetTables& TablesFor(WindowKind kind)
{
    switch (kind) {
    case WindowKind::Rectangular: { static const OffsetTables t = BuildTables(kind); return t; }
    case WindowKind::Hann: { static const OffsetTables t = BuildTables(kind); return t; }
    case WindowKind::BlackmanHarris7: { static const OffsetTables t = BuildTables(kind); return t; }
    case WindowKind::FlatTop: { static const OffsetTables t = BuildTables(kind); return t; }
    case WindowKind::BlackmanHarris4: break;
    }
    static const OffsetTables t = BuildTables(WindowKind::BlackmanHarris4);
    return t;
}

double Interpolate(const std::array<double, TablePoints>& table, double d)
{
    const double x = std::clamp(d, 0.0, 0.5) * 2 * (TablePoints - 1);
    const int i = std::min(int(x), TablePoints - 2);
    return table[std::size_t(i)] + (x - i) * (table[std::size_t(i) + 1] - table[std::size_t(i)]);
}

} // namespace

double LeakageOutsideMainLobe(WindowKind kind, double fraction)
{
    if (std::abs(fraction) < 1e-12)
        return 0;
    const double scale = std::sin(std::numbers::pi * fraction) / std::numbers::pi;
    return std::min(1.0, scale * scale * Interpolate(TablesFor(kind).leakageSum, std::abs(fraction)));
}

double ToneOffset(WindowKind kind, double ratio)
{
    // The ratio grows from its value for a centred tone to 1 half a bin off.
    const auto& table = TablesFor(kind).ratio;
    if (!(ratio > table.front()))
        return 0;
    if (ratio >= table.back())
        return 0.5;
    const auto above = std::upper_bound(table.begin(), table.end(), ratio);
    const auto i = std::size_t(above - table.begin()) - 1;
    const double step = 0.5 / (TablePoints - 1);
    return step * (double(i) + (ratio - table[i]) / (table[i + 1] - table[i]));
}

double WindowPowerResponse(WindowKind kind, double d)
{
    const auto a = WindowCoefficients(kind);
    const double r = Response(a, d) / a[0];
    return r * r;
}
