#include "Window.h"

#include <cmath>
#include <numbers>
#include <algorithm>
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

double Sinc(double x)
{
    return std::abs(x) < 1e-12 ? 1.0 : std::sin(std::numbers::pi * x) / (std::numbers::pi * x);
}

// A unit tone's amplitude in a bin d bins from it: sum_m a'_m sinc(d - m), a'_0 = a0,
// a'_{+-m} = a_m / 2 (large-N form of the window's spectrum).
double Response(std::span<const double> a, double d)
{
    double x = a[0] * Sinc(d);
    for (std::size_t m = 1; m < a.size(); ++m)
        x += a[m] / 2 * (Sinc(d - double(m)) + Sinc(d + double(m)));
    return x;
}

} // namespace

double LeakageOutsideMainLobe(WindowKind kind, double fraction)
{
    const auto a = WindowCoefficients(kind);
    const int terms = int(a.size());
    double total = a[0] * a[0];
    for (int m = 1; m < terms; ++m)
        total += a[std::size_t(m)] * a[std::size_t(m)] / 2;
    double inside = 0;
    for (int k = -terms; k <= terms; ++k)
        if (std::abs(double(k) - fraction) <= terms)
            inside += Response(a, double(k) - fraction) * Response(a, double(k) - fraction);
    return std::max(0.0, 1.0 - inside / total);
}

double ToneOffset(WindowKind kind, double ratio)
{
    // The ratio grows from its value for a centred tone to 1 half a bin off.
    const auto a = WindowCoefficients(kind);
    auto ratioAt = [&](double d) { return std::abs(Response(a, 1 - d)) / std::abs(Response(a, d)); };
    double lo = 0, hi = 0.5;
    if (!(ratio > ratioAt(lo)))
        return 0;
    if (ratio >= 1)
        return 0.5;
    for (int i = 0; i < 40; ++i) {
        const double mid = (lo + hi) / 2;
        (ratioAt(mid) < ratio ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}
