#pragma once

#include "analysis/CodeHistogram.h"
#include "analysis/SpectrumAnalyzer.h"
#include "core/EvalError.h"
#include "link/EvalContext.h"

#include <cstdint>

// One block, end to end, without widgets: the board's upload into SampleCodes, the volts,
// the spectrum with its metrics and the code histogram. The window runs these steps one
// by one with its plotting between them; the command-line tool runs TakeBlock.
class AcquisitionEngine {
public:
    explicit AcquisitionEngine(EvalContext& ctx) : ctx_(ctx) {}

    // N = 256 * 2^NumberOfSamples.
    std::int32_t BlockLength() const;

    // Starts the watchdog and uploads one block into SampleCodes. Returns the pending
    // error number: 0, 517 for a failed upload, 504 when the board refused the block
    // command (after its message); failure details in LastError().
    int ReadBlock();
    // SampleCodes into SampleVolts over the configured input range.
    void ConvertToVolts();
    // Spectrum (dBFS per bin) of SampleCodes into Spectrum, with its dynamic metrics.
    void ComputeSpectrum();
    // Adds SampleCodes to the code histogram summed over blocks, at the configured
    // resolution.
    void BuildHistogram();

    // ReadBlock, then the other three steps when the block arrived; returns ReadBlock's
    // error number.
    int TakeBlock();

    SpectrumAnalyzer& Analyzer() { return analyzer_; }
    const SpectrumAnalyzer& Analyzer() const { return analyzer_; }
    CodeHistogramAccumulator& Histogram() { return histogram_; }
    const EvalError& LastError() const { return lastError_; }

private:
    EvalContext& ctx_;
    SpectrumAnalyzer analyzer_;
    CodeHistogramAccumulator histogram_;
    EvalError lastError_{0, QString(), QString()};
};
