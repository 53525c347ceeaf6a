#include "SpectrumAnalyzer.h"

#include "Decibels.h"
#include "Lanes.h"

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
template <class V>
[[gnu::always_inline]] inline Extremes WindowBlockOf(const double* codes, const double* window, double* in,
                                                     std::size_t n)
{
    constexpr std::size_t lanes = Lanes<V>::count;
    const double first = n ? codes[0] : 0.0;
    V lo = first - V{}, hi = lo;
    std::size_t i = 0;
    for (; i + lanes <= n; i += lanes) {
        const V c = LoadLanes<V>(codes + i);
        StoreLanes(in + i, c * LoadLanes<V>(window + i));
        lo = c < lo ? c : lo;
        hi = c > hi ? c : hi;
    }
    Extremes e{-LargestLane<V>(-lo), LargestLane(hi)};
    for (; i < n; ++i) {
        in[i] = codes[i] * window[i];
        e.lowest = std::min(e.lowest, codes[i]);
        e.highest = std::max(e.highest, codes[i]);
    }
    // A NaN fails every comparison and slips past the extremes; the transform keeps it.
    e.finite = std::isfinite(e.lowest) && std::isfinite(e.highest);
    return e;
}

// The even and odd lanes of a and b side by side.
[[gnu::always_inline]] inline Four Evens(Four a, Four b) { return __builtin_shufflevector(a, b, 0, 2, 4, 6); }
[[gnu::always_inline]] inline Four Odds(Four a, Four b) { return __builtin_shufflevector(a, b, 1, 3, 5, 7); }
[[gnu::always_inline]] inline Eight Evens(Eight a, Eight b)
{
    return __builtin_shufflevector(a, b, 0, 2, 4, 6, 8, 10, 12, 14);
}
[[gnu::always_inline]] inline Eight Odds(Eight a, Eight b)
{
    return __builtin_shufflevector(a, b, 1, 3, 5, 7, 9, 11, 13, 15);
}

// power = |X|^2 scale, or the average moved towards it by weight, for one vector of bins
// (from their interleaved real and imaginary parts); adds them to sums and lanes (the
// largest so far in each lane).
template <class V, bool Averaging>
[[gnu::always_inline]] inline void AddBins(const std::complex<double>* out, double scale, double weight, double* power,
                                           V& sums, V& lanes)
{
    const auto* parts = reinterpret_cast<const double*>(out);
    const V a = LoadLanes<V>(parts), b = LoadLanes<V>(parts + Lanes<V>::count);
    const V re = Evens(a, b), im = Odds(a, b);
    V p = (re * re + im * im) * scale;
    if constexpr (Averaging) {
        const V old = LoadLanes<V>(power);
        p = old + (p - old) * weight;
    }
    StoreLanes(power, p);
    lanes = p > lanes ? p : lanes;
    sums += p;
}

// All bins' power and the summary the metrics need (sum, largest of each chunk), in one
// pass.
template <class V, bool Averaging>
[[gnu::always_inline]] inline void AddPowerOf(const std::complex<double>* out, double scale, double weight,
                                              double* power, std::size_t bins, PowerSummary& summary)
{
    constexpr std::size_t chunk = PowerSummary::ChunkBins, lanes = Lanes<V>::count;
    static_assert(chunk % (2 * lanes) == 0);
    summary.chunkLargest.resize((bins + chunk - 1) / chunk);
    V sums{}, sums2{};
    std::size_t k = 0;
    for (; k + chunk <= bins; k += chunk) {
        // Two chains of sums and maxima, so neither waits on the other.
        V largest{}, largest2{};
        for (std::size_t j = k; j < k + chunk; j += 2 * lanes) {
            AddBins<V, Averaging>(out + j, scale, weight, power + j, sums, largest);
            AddBins<V, Averaging>(out + j + lanes, scale, weight, power + j + lanes, sums2, largest2);
        }
        summary.chunkLargest[k / chunk] = LargestLane<V>(largest > largest2 ? largest : largest2);
    }
    summary.total = SumOfLanes<V>(sums + sums2);
    if (k == bins)
        return;
    double largest = 0;
    for (; k < bins; ++k) {
        const double p = std::norm(out[k]) * scale;
        power[k] = Averaging ? power[k] + (p - power[k]) * weight : p;
        largest = std::max(largest, power[k]);
        summary.total += power[k];
    }
    summary.chunkLargest.back() = largest;
}

// Each pass built for AVX-512, AVX2 and any x86-64, picked at load time.
[[gnu::target("arch=x86-64-v4")]] Extremes WindowBlock(const double* codes, const double* window, double* in,
                                                       std::size_t n)
{
    return WindowBlockOf<Eight>(codes, window, in, n);
}

[[gnu::target("arch=x86-64-v3")]] Extremes WindowBlock(const double* codes, const double* window, double* in,
                                                       std::size_t n)
{
    return WindowBlockOf<Four>(codes, window, in, n);
}

[[gnu::target("default")]] Extremes WindowBlock(const double* codes, const double* window, double* in, std::size_t n)
{
    return WindowBlockOf<Four>(codes, window, in, n);
}

[[gnu::target("arch=x86-64-v4")]] void AddPower(bool averaging, const std::complex<double>* out, double scale, double weight,
                    double* power, std::size_t bins, PowerSummary& summary)
{
    if (averaging)
        AddPowerOf<Eight, true>(out, scale, weight, power, bins, summary);
    else
        AddPowerOf<Eight, false>(out, scale, weight, power, bins, summary);
}

[[gnu::target("arch=x86-64-v3")]] void AddPower(bool averaging, const std::complex<double>* out, double scale, double weight,
                    double* power, std::size_t bins, PowerSummary& summary)
{
    if (averaging)
        AddPowerOf<Four, true>(out, scale, weight, power, bins, summary);
    else
        AddPowerOf<Four, false>(out, scale, weight, power, bins, summary);
}

[[gnu::target("default")]] void AddPower(bool averaging, const std::complex<double>* out, double scale, double weight,
                    double* power, std::size_t bins, PowerSummary& summary)
{
    if (averaging)
        AddPowerOf<Four, true>(out, scale, weight, power, bins, summary);
    else
        AddPowerOf<Four, false>(out, scale, weight, power, bins, summary);
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
    if (averaged_ == 1)
        AddPower(false, out, toAmplitude * toAmplitude, 1.0, power_.data(), bins, summary_);
    else
        AddPower(true, out, toAmplitude * toAmplitude, 1.0 / averaged_, power_.data(), bins, summary_);

    if (!extremes.finite) {
        Fail("the block holds a value that is not a finite number");
        return;
    }
    // A clipped block spoils the average it is in.
    const bool clipped = Clipped(codes, extremes.lowest, extremes.highest);
    facts_ = {n, clipped || (averaged_ > 1 && facts_.clipped)};
    metrics_ = ComputeDynamicMetrics(power_, summary_, facts_, settings_);
}

void SpectrumAnalyzer::Reanalyse()
{
    if (averaged_ > 0 && !power_.empty())
        metrics_ = ComputeDynamicMetrics(power_, summary_, facts_, settings_);
}

void SpectrumAnalyzer::SpectrumDb(std::vector<double>& out) const
{
    out.resize(power_.size());
    PowersToDb(power_.data(), out.data(), power_.size());
    // DC has no mirror image: its amplitude is |X_0| / sum(w), half the doubled bins'.
    if (!out.empty())
        out[0] = PowerToDb(power_[0] / 4);
}
