#include "SpectrumAnalyzer.h"

#include "Decibels.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

void SpectrumAnalyzer::SetResolution(int bits)
{
    bits_ = std::clamp(bits, 1, 32);
}

RealFft& SpectrumAnalyzer::TransformFor(std::size_t n)
{
    auto& slot = transforms_[n];
    if (!slot)
        slot = std::make_unique<RealFft>(n);
    return *slot;
}

const std::vector<double>& SpectrumAnalyzer::WindowFor(std::size_t n)
{
    if (windowSamples_.size() != n || windowSamplesKind_ != window_) {
        windowSamples_ = MakeWindow(window_, n);
        windowSamplesKind_ = window_;
        windowSum_ = std::accumulate(windowSamples_.begin(), windowSamples_.end(), 0.0);
        const double squares = std::inner_product(windowSamples_.begin(), windowSamples_.end(),
                                                  windowSamples_.begin(), 0.0);
        enbw_ = double(n) * squares / (windowSum_ * windowSum_);
        // A cosine sum's spectrum has only as many bins as terms (worked out from the
        // samples, so it also holds for blocks too short for the bins to stay apart).
        windowSpectrum_.assign(std::size_t(MainLobeHalfWidth(window_)), 0.0);
        for (std::size_t k = 0; k < windowSpectrum_.size(); ++k)
            for (std::size_t i = 0; i < n; ++i)
                windowSpectrum_[k] += windowSamples_[i] * std::cos(2 * std::numbers::pi * double(k * i % n) / double(n));
    }
    return windowSamples_;
}

void SpectrumAnalyzer::Analyse(std::span<const double> codes)
{
    const std::size_t n = codes.size();
    blockLength_ = n;
    metrics_ = {};
    if (n == 0) {
        power_.clear();
        return;
    }
    const std::vector<double>& w = WindowFor(n);
    RealFft& fft = TransformFor(n);
    double* in = fft.Input();
    for (std::size_t i = 0; i < n; ++i)
        in[i] = codes[i] * w[i];
    fft.Execute();

    // |X_k| of a tone at a bin centre is amplitude * sum(w) / 2.
    const double fullScale = std::ldexp(1.0, bits_ - 1);
    const double toAmplitude = 2.0 / (windowSum_ * fullScale);
    const double scale = toAmplitude * toAmplitude;
    const std::complex<double>* out = fft.Output();
    power_.resize(std::max<std::size_t>(n / 2, 1));
    for (std::size_t k = 0; k < power_.size(); ++k)
        power_[k] = std::norm(out[k]) * scale;

    // The mean comes off before windowing: the window-weighted mean m = X_0 / W_0, which
    // leaves exactly nothing in bin 0 (the plain mean of a block with part cycles would
    // leave a DC step). Windowing the block less m takes m W_k off each bin, and W has
    // only its first few bins, so that is done here rather than in a pass over the block.
    const double mean = out[0].real() / windowSum_;
    for (std::size_t k = 0; k < std::min(windowSpectrum_.size(), power_.size()); ++k)
        power_[k] = std::norm(out[k] - mean * windowSpectrum_[k]) * scale;

    metrics_ = ComputeDynamicMetrics(power_, n, MainLobeHalfWidth(window_), enbw_);
}

void SpectrumAnalyzer::SpectrumDb(std::vector<double>& out) const
{
    out.resize(power_.size());
    PowersToDb(power_.data(), out.data(), power_.size());
    // DC has no mirror image: its amplitude is |X_0| / sum(w), half the doubled bins'.
    if (!out.empty())
        out[0] = PowerToDb(power_[0] / 4);
}
