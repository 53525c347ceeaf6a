#include "SpectrumAnalyzer.h"

#include "Decibels.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <numeric>

namespace {

struct Extremes {
    double lowest = 0, highest = 0;
    bool finite = true;
};

// in = codes x window, and the codes' extremes, in one pass.
Extremes WindowBlock(const double* codes, const double* window, double* in, std::size_t n)
{
    double lowest = n ? codes[0] : 0.0, highest = lowest;
    for (std::size_t i = 0; i < n; ++i) {
        in[i] = codes[i] * window[i];
        lowest = codes[i] < lowest ? codes[i] : lowest;
        highest = codes[i] > highest ? codes[i] : highest;
    }
    // A NaN fails every comparison and slips past the extremes; the transform keeps it.
    return {lowest, highest, std::isfinite(lowest) && std::isfinite(highest)};
}

// Each bin's power |X|^2 scale, or the average moved towards it by weight.
void AddPower(const std::complex<double>* out, double scale, double weight, double* power, std::size_t bins)
{
    const auto* parts = reinterpret_cast<const double*>(out);
    if (weight == 1.0) {
        for (std::size_t k = 0; k < bins; ++k)
            power[k] = (parts[2 * k] * parts[2 * k] + parts[2 * k + 1] * parts[2 * k + 1]) * scale;
        return;
    }
    for (std::size_t k = 0; k < bins; ++k) {
        const double p = (parts[2 * k] * parts[2 * k] + parts[2 * k + 1] * parts[2 * k + 1]) * scale;
        power[k] += (p - power[k]) * weight;
    }
}

} // namespace

void SpectrumAnalyzer::SetWindow(WindowKind kind)
{
    if (kind != settings_.window)
        Restart();
    settings_.window = kind;
}

void SpectrumAnalyzer::SetResolution(int bits)
{
    bits = std::clamp(bits, 1, 32);
    if (bits != bits_)
        Restart();
    bits_ = bits;
}

void SpectrumAnalyzer::SetAveraging(int blocks)
{
    averaging_ = std::clamp(blocks, 1, MaxAveraging);
    Restart();
}

std::size_t SpectrumAnalyzer::DcBins() const
{
    return std::min(power_.size(), std::size_t(std::max(MainLobeHalfWidth(settings_.window), settings_.dcBins)) + 1);
}

RealFft& SpectrumAnalyzer::TransformFor(std::size_t n)
{
    auto& slot = transforms_[n];
    if (!slot)
        slot = std::make_unique<RealFft>(n);
    return *slot;
}

void SpectrumAnalyzer::PrepareWindow(std::size_t n)
{
    if (windowSamples_.size() == n && windowSamplesKind_ == settings_.window)
        return;
    const std::vector<double> window = MakeWindow(settings_.window, n);
    windowSamples_.assign(window.begin(), window.end());
    windowSamplesKind_ = settings_.window;
    windowSum_ = std::accumulate(windowSamples_.begin(), windowSamples_.end(), 0.0);
    // A cosine sum's spectrum has only as many bins as terms (worked out from the
    // samples, so it also holds for blocks too short for the bins to stay apart).
    windowSpectrum_.assign(std::size_t(MainLobeHalfWidth(settings_.window)), 0.0);
    for (std::size_t k = 0; k < windowSpectrum_.size(); ++k)
        for (std::size_t i = 0; i < n; ++i)
            windowSpectrum_[k] += windowSamples_[i] * std::cos(2 * std::numbers::pi * double(k * i % n) / double(n));
}

bool SpectrumAnalyzer::Clipped(std::span<const double> codes, double lowest, double highest) const
{
    const double codeCount = std::ldexp(1.0, bits_);
    const double bottom = lowest < 0 ? -codeCount / 2 : 0.0, top = bottom + codeCount - 1;
    if (lowest > bottom && highest < top)
        return false;
    // A sine that just reaches an end code sits there acos(1 - 1/half) / pi of the time;
    // a clipped one stays much longer.
    const double half = codeCount / 2;
    const double limit = 2 * double(codes.size()) * std::acos(std::max(-1.0, 1 - 1 / half)) / std::numbers::pi + 2;
    const auto atBottom = std::count_if(codes.begin(), codes.end(), [&](double c) { return c <= bottom; });
    const auto atTop = std::count_if(codes.begin(), codes.end(), [&](double c) { return c >= top; });
    return double(std::max(atBottom, atTop)) > limit;
}

void SpectrumAnalyzer::Fail(const std::string& reason)
{
    metrics_.Invalidate(reason);
    Restart();
}

void SpectrumAnalyzer::Analyse(std::span<const double> codes)
{
    const std::size_t n = codes.size();
    if (n != blockLength_)
        Restart();
    blockLength_ = n;
    metrics_.Invalidate("no data");
    if (n == 0) {
        power_.clear();
        return;
    }
    PrepareWindow(n);
    RealFft& fft = TransformFor(n);
    const Extremes extremes = WindowBlock(codes.data(), windowSamples_.data(), fft.Input(), n);
    fft.Execute();

    // The mean comes off before windowing: the window-weighted mean m = X_0 / W_0, which
    // leaves exactly nothing in bin 0 (the plain mean of a block with part cycles would
    // leave a DC step). Windowing the block less m takes m W_k off each bin, and W has
    // only its first few bins, so that is done here rather than in a pass over the block.
    std::complex<double>* out = fft.Output();
    const double mean = out[0].real() / windowSum_;
    const std::size_t bins = std::max<std::size_t>(n / 2, 1);
    for (std::size_t k = 0; k < std::min(windowSpectrum_.size(), bins); ++k)
        out[k] -= mean * windowSpectrum_[k];

    // |X_k| of a tone at a bin centre is amplitude * sum(w) / 2.
    const double toAmplitude = 2.0 / (windowSum_ * std::ldexp(1.0, bits_ - 1));
    if (power_.size() != bins)
        averaged_ = 0;
    power_.resize(bins);
    averaged_ = std::min(averaged_ + 1, averaging_);
    AddPower(out, toAmplitude * toAmplitude, 1.0 / averaged_, power_.data(), bins);

    if (!extremes.finite) {
        Fail("the block holds a value that is not a finite number");
        return;
    }
    // A clipped block spoils the average it is in.
    const bool clipped = Clipped(codes, extremes.lowest, extremes.highest);
    facts_ = {n, clipped || (averaged_ > 1 && facts_.clipped), averaged_};
    metrics_ = ComputeDynamicMetrics(power_, facts_, settings_);
}

void SpectrumAnalyzer::Reanalyse()
{
    if (averaged_ > 0 && !power_.empty())
        metrics_ = ComputeDynamicMetrics(power_, facts_, settings_);
}

void SpectrumAnalyzer::SpectrumDb(std::vector<double>& out) const
{
    out.resize(power_.size());
    PowersToDb(power_.data(), out.data(), power_.size());
    // DC has no mirror image: its amplitude is |X_0| / sum(w), half the doubled bins'.
    if (!out.empty())
        out[0] = PowerToDb(power_[0] / 4);
}
