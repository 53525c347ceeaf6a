#pragma once

#include "DynamicMetrics.h"
#include "RealFft.h"
#include "Window.h"

#include <map>
#include <memory>
#include <span>
#include <vector>

// The spectrum of a block of converter codes in dBFS and its dynamic metrics. The mean
// is removed before windowing, so the DC bin does not set the scale (and the DC bins are
// left out of the metrics); a full-scale sine (amplitude 2^(bits-1) codes) reads 0 dBFS
// at its peak.
class SpectrumAnalyzer {
public:
    void SetWindow(WindowKind kind) { window_ = kind; }
    WindowKind Window() const { return window_; }
    void SetResolution(int bits);
    int Resolution() const { return bits_; }

    // Analyses one block; an empty block leaves an empty spectrum.
    void Analyse(std::span<const double> codes);

    // The last block's spectrum: bins 0..N/2-1 (one bin for a block of one), bin k at
    // k fs / N. Re-sized and filled.
    void SpectrumDb(std::vector<double>& out) const;
    const DynamicMetrics& Metrics() const { return metrics_; }
    std::size_t BlockLength() const { return blockLength_; }

private:
    RealFft& TransformFor(std::size_t n);
    const std::vector<double>& WindowFor(std::size_t n);

    WindowKind window_ = DefaultWindow;
    int bits_ = 12;
    std::map<std::size_t, std::unique_ptr<RealFft>> transforms_;
    std::vector<double> windowSamples_;
    WindowKind windowSamplesKind_ = DefaultWindow;
    std::vector<double> windowSpectrum_;   // the window's own DFT, bins 0..terms-1 (real)
    double windowSum_ = 0, enbw_ = 1;
    std::vector<double> power_;
    std::size_t blockLength_ = 0;
    DynamicMetrics metrics_;
};
