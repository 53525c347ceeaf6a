#pragma once

// Reference figures from the textbook definitions, independent of the analysis code: a
// least-squares fit of sines at known frequencies (the fundamental, its harmonics, chosen
// spurs and products) plus a constant gives each component's amplitude; the noise is what
// the fit leaves, summed over all the bins of its windowed spectrum (by Parseval, the
// window-weighted mean square of the residual).

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace reference {

// Cosine-sum windows as tabulated in the literature: rectangular, Hann, 4-term and 7-term
// Blackman-Harris, flat top (same order as WindowKind).
inline std::vector<double> CosineCoefficients(int window)
{
    switch (window) {
    case 0: return {1.0};
    case 1: return {0.5, 0.5};
    case 3: return {0.27105140069342, 0.43329793923448, 0.21812299954311, 0.06592544638803, 0.01081174209837,
                    0.00077658482522, 0.00001388721735};
    case 4: return {0.21557895, 0.41663158, 0.277263158, 0.083578947, 0.006947368};
    default: return {0.35875, 0.48829, 0.14128, 0.01168};
    }
}

inline std::vector<double> WindowSamples(int window, std::size_t n)
{
    const auto a = CosineCoefficients(window);
    std::vector<double> w(n);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t k = 0; k < a.size(); ++k)
            w[i] += (k % 2 ? -a[k] : a[k]) * std::cos(2 * std::numbers::pi * double(k * i) / double(n));
    return w;
}

// Solves a x = b in place (Gaussian elimination with partial pivoting).
inline std::vector<double> Solve(std::vector<std::vector<double>> a, std::vector<double> b)
{
    const std::size_t m = b.size();
    for (std::size_t col = 0; col < m; ++col) {
        std::size_t pivot = col;
        for (std::size_t r = col + 1; r < m; ++r)
            if (std::abs(a[r][col]) > std::abs(a[pivot][col]))
                pivot = r;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (std::size_t r = col + 1; r < m; ++r) {
            const double f = a[r][col] / a[col][col];
            for (std::size_t c = col; c < m; ++c)
                a[r][c] -= f * a[col][c];
            b[r] -= f * b[col];
        }
    }
    std::vector<double> x(m);
    for (std::size_t r = m; r-- > 0;) {
        double s = b[r];
        for (std::size_t c = r + 1; c < m; ++c)
            s -= a[r][c] * x[c];
        x[r] = s / a[r][r];
    }
    return x;
}

// Where a component of `cycles` per block shows in the first Nyquist zone.
inline double Folded(double cycles, std::size_t n)
{
    const double f = std::fmod(std::abs(cycles), double(n));
    return f > double(n) / 2 ? double(n) - f : f;
}

struct Fit {
    std::vector<double> power;       // per component asked for: (amplitude / full scale)^2
    std::vector<double> residual;    // the block less the constant and every fitted sine
};

// Least-squares fit of a constant and sines at the given frequencies (cycles per block);
// frequencies that fold onto one another are fitted once (the first keeps the power, the
// rest read 0), and one that folds onto DC is left to the constant.
inline Fit FitSines(const std::vector<double>& x, const std::vector<double>& cycles, double fullScale)
{
    const std::size_t n = x.size();
    std::vector<double> folded;
    std::vector<int> column(cycles.size(), -1);
    for (std::size_t c = 0; c < cycles.size(); ++c) {
        const double f = Folded(cycles[c], n);
        if (f < 1e-6)
            continue;
        const auto same = std::find_if(folded.begin(), folded.end(), [&](double g) { return std::abs(g - f) < 1e-6; });
        if (same == folded.end()) {
            column[c] = int(folded.size());
            folded.push_back(f);
        }
    }
    // Columns: 1, then cos and sin of each frequency (sin alone vanishes at Nyquist).
    std::vector<std::vector<double>> basis(1, std::vector<double>(n, 1.0));
    for (const double f : folded) {
        std::vector<double> c(n), s(n);
        for (std::size_t i = 0; i < n; ++i) {
            const double phase = 2 * std::numbers::pi * std::fmod(f * double(i), double(n)) / double(n);
            c[i] = std::cos(phase);
            s[i] = std::sin(phase);
        }
        basis.push_back(c);
        basis.push_back(std::abs(f - double(n) / 2) < 1e-6 ? std::vector<double>(n, 0.0) : s);
    }
    const std::size_t m = basis.size();
    std::vector<std::vector<double>> ata(m, std::vector<double>(m));
    std::vector<double> atx(m);
    for (std::size_t r = 0; r < m; ++r) {
        for (std::size_t c = r; c < m; ++c) {
            double s = 0;
            for (std::size_t i = 0; i < n; ++i)
                s += basis[r][i] * basis[c][i];
            ata[r][c] = ata[c][r] = s;
        }
        for (std::size_t i = 0; i < n; ++i)
            atx[r] += basis[r][i] * x[i];
        if (ata[r][r] == 0)   // the empty sine column at Nyquist
            ata[r][r] = 1;
    }
    const std::vector<double> coef = Solve(ata, atx);
    Fit fit{std::vector<double>(cycles.size(), 0.0), x};
    for (std::size_t r = 0; r < m; ++r)
        for (std::size_t i = 0; i < n; ++i)
            fit.residual[i] -= coef[r] * basis[r][i];
    for (std::size_t c = 0; c < cycles.size(); ++c)
        if (column[c] >= 0) {
            const double a = coef[1 + 2 * std::size_t(column[c])], b = coef[2 + 2 * std::size_t(column[c])];
            fit.power[c] = (a * a + b * b) / (fullScale * fullScale);
        }
    return fit;
}

// The residual's noise on the same scale as the components' powers: the sum of its
// windowed spectrum's bins, which by Parseval is the window-weighted mean square.
inline double NoisePower(const std::vector<double>& residual, const std::vector<double>& w, double fullScale)
{
    double weighted = 0, weights = 0;
    for (std::size_t i = 0; i < residual.size(); ++i) {
        weighted += w[i] * w[i] * residual[i] * residual[i];
        weights += w[i] * w[i];
    }
    return 2 * weighted / weights / (fullScale * fullScale);
}

// The largest component left in the residual: the sum of the bins within halfWidth of its
// windowed spectrum's highest bin above DC, as a tone's power.
inline double LargestResidualComponent(const std::vector<double>& residual, const std::vector<double>& w,
                                       double fullScale, int halfWidth)
{
    const std::size_t n = residual.size();
    std::vector<double> in(n);
    std::vector<std::complex<double>> out(n / 2 + 1);
    double sum = 0, squares = 0;
    for (std::size_t i = 0; i < n; ++i) {
        in[i] = residual[i] * w[i];
        sum += w[i];
        squares += w[i] * w[i];
    }
    fftw_plan plan = fftw_plan_dft_r2c_1d(int(n), in.data(), reinterpret_cast<fftw_complex*>(out.data()), FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
    const double scale = std::pow(2 / (sum * fullScale), 2);
    const double enbw = double(n) * squares / (sum * sum);
    std::size_t top = std::size_t(halfWidth) + 1;
    for (std::size_t k = top; k < n / 2; ++k)
        if (std::norm(out[k]) > std::norm(out[top]))
            top = k;
    double lobe = 0;
    for (std::size_t k = top - std::min<std::size_t>(top, std::size_t(halfWidth)); k <= std::min(top + std::size_t(halfWidth), n / 2 - 1); ++k)
        lobe += std::norm(out[k]) * scale;
    return lobe / enbw;
}

} // namespace reference
