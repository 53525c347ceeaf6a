#pragma once

#include "AlignedVector.h"
#include "DynamicMetrics.h"
#include "RealFft.h"
#include "Window.h"

#include <algorithm>
#include <map>
#include <memory>
#include <span>
#include <vector>

// The spectrum of blocks of converter codes in dBFS, power-averaged over up to K blocks,
// and its dynamic metrics. The mean is removed before windowing, so the DC bin does not
// set the scale; a full-scale sine (amplitude 2^(bits-1) codes) reads 0 dBFS at its peak.
//
// Averaging: the first K blocks are averaged with equal weight; after that each new
// block takes 1/K of the average (exponential), so the average follows the input with
// the noise of K blocks. A change of window, resolution or block length, or Restart(),
// starts the average again.
class SpectrumAnalyzer {
public:
    static constexpr int MaxAveraging = 256;

    void SetWindow(WindowKind kind);
    WindowKind Window() const { return settings_.window; }
    void SetResolution(int bits);
    int Resolution() const { return bits_; }
    void SetHarmonics(int highest) { settings_.harmonics = std::clamp(highest, 2, 25); }
    void SetDcBins(int bins) { settings_.dcBins = std::clamp(bins, 0, 64); }
    const MetricSettings& Settings() const { return settings_; }
    void SetAveraging(int blocks);   // 1..256
    int Averaging() const { return averaging_; }
    void Restart() { averaged_ = 0; }
    int AveragedBlocks() const { return averaged_; }

    // Adds one block to the average and analyses the average. An empty block leaves an
    // empty spectrum.
    void Analyse(std::span<const double> codes);
    // Recomputes the metrics of the current average, after a change of harmonics or DC
    // bins.
    void Reanalyse();
    // Forgets the last result: the metrics all read this reason (for example when the
    // caller's transform failed).
    void Fail(const std::string& reason);

    // The averaged spectrum: bins 0..N/2-1 (one bin for a block of one), bin k at
    // k fs / N. Re-sized and filled.
    void SpectrumDb(std::vector<double>& out) const;
    std::span<const double> Power() const { return power_; }
    const DynamicMetrics& Metrics() const { return metrics_; }
    std::size_t BlockLength() const { return blockLength_; }
    // Bins at the bottom of the spectrum left out as DC (their dB value means nothing).
    std::size_t DcBins() const;

private:
    RealFft& TransformFor(std::size_t n);
    void PrepareWindow(std::size_t n);
    bool Clipped(std::span<const double> codes, double lowest, double highest) const;

    MetricSettings settings_;
    int bits_ = 12;
    int averaging_ = 1, averaged_ = 0;
    std::map<std::size_t, std::unique_ptr<RealFft>> transforms_;
    AlignedVector<double> windowSamples_;
    WindowKind windowSamplesKind_ = DefaultWindow;
    std::vector<double> windowSpectrum_;   // the window's own DFT, bins 0..terms-1 (real)
    double windowSum_ = 0;
    AlignedVector<double> power_;
    std::size_t blockLength_ = 0;
    BlockFacts facts_;
    DynamicMetrics metrics_;
};
