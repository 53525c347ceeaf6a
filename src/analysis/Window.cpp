#include "Window.h"

#include <cmath>
#include <numbers>
#include <span>

namespace {

// Cosine-sum coefficients a0, a1, ... of w[n] = sum (-1)^k a_k cos(2 pi k n / N).
std::span<const double> Coefficients(WindowKind kind)
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

} // namespace

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
    return int(Coefficients(kind).size());
}

std::vector<double> MakeWindow(WindowKind kind, std::size_t n)
{
    const auto a = Coefficients(kind);
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
