#pragma once

#include "analysis/CodeHistogram.h"
#include "analysis/SineCodeDensity.h"
#include "analysis/SpectrumAnalyzer.h"
#include "core/EvalError.h"
#include "engine/EvalContext.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct LoadOutcome {
    bool configRead = false;          // false: "Error Loading CFG", nothing after it ran
    std::int16_t programResult = -1;  // the download's result when it ran (0 running)
};

struct RecoveryOutcome {
    bool reset = false;               // the board answered as its loader after the reset
    std::int16_t programResult = -1;  // the download's result (0: the program runs again)
    bool Recovered() const { return programResult == 0; }
};

// The board session, whole and without widgets: link start-up, configuration and program
// load, power and supply changes, reset, and one block at a time (upload, volts, spectrum
// with its metrics, summed code histogram). Each step tells the user what the documented
// flow tells them through the context's messenger and status lines, and reports the rest
// to the context's listener; it decides nothing about controls. One thread at a time.
class BoardSession {
public:
    explicit BoardSession(EvalContext& ctx) : ctx_(ctx) {}
    EvalContext& Context() { return ctx_; }

    // Link start-up, then the port's control lines set to idle once more.
    void StartUp();

    // Reset, configuration file, sample frequency, a short pause, program download, and on
    // success the configuration summary, "Program Running" and ProgramLoaded. Each step runs
    // even when one before it raised; a configuration that cannot be read stops the load.
    // applyFrequency puts the configured frequency in force (the setup dialog adds it to its
    // list, which sets the clock); without one the clock takes CurrentSettings.SampleFreq.
    // A board program named without a folder is found in programFolder (empty: the
    // current folder).
    LoadOutcome LoadConfiguration(const QString& configPath, const std::function<void()>& applyFrequency = {},
                                  const QString& programFolder = QString());

    // The board reset with its status lines and message; never raises. True when the
    // board answered as its loader afterwards.
    bool Reset();
    // After a failed block: the reset, then the board program of the last configuration
    // load downloaded again, with the block length and sample rate in force before the
    // reset kept (the configuration is not read again, so choices made after the load
    // stand). Never raises.
    RecoveryOutcome Recover();
    // Loads a new supply latch; false (after its message) when the board refused it.
    bool ChangeSupplies(std::int16_t latch);
    void PowerDown();
    void PowerUp();

    // The block length N the board is asked for.
    std::int32_t BlockLength() const { return ctx_.BlockLength(); }
    // Uploads one block into codes. Returns the pending error number: 0, 517 for a failed
    // upload, 504 when the board refused the block command (after its message); failure
    // details in LastError().
    int ReadBlock(std::vector<double>& codes);
    int ReadBlock() { return ReadBlock(ctx_.SampleCodes); }
    // SampleCodes into SampleVolts over the configured input range.
    void ConvertToVolts();
    // Spectrum (dBFS per bin) of SampleCodes into Spectrum, with its dynamic metrics.
    void ComputeSpectrum();
    // Adds SampleCodes to the code histogram summed over blocks.
    void BuildHistogram();
    // ReadBlock, then the other three steps and ReportBlock; returns ReadBlock's error.
    int TakeBlock();
    // The status line of a block that arrived ("N Data Samples Uploaded", DataLoaded set)
    // or the red line of one that did not.
    void ReportBlock(int error);

    SpectrumAnalyzer& Analyzer() { return analyzer_; }
    const SpectrumAnalyzer& Analyzer() const { return analyzer_; }
    const CodeHistogramAccumulator& Histogram() const { return histogram_; }
    // Empties the summed code histogram; the next block starts it again.
    void RestartHistogram();
    // The sine linearity of the summed histogram, worked out again only after it changed.
    const SineLinearity& Linearity();
    const EvalError& LastError() const { return lastError_; }

private:
    void SendPowerCommand(std::int16_t code, const QString& done);
    // The configured board program downloaded and, when it runs, announced.
    std::int16_t DownloadProgram();
    // The link takes the echo switch from the settings in force.
    BoardLink& Link();

    EvalContext& ctx_;
    SpectrumAnalyzer analyzer_;
    CodeHistogramAccumulator histogram_;
    SineLinearity linearity_;
    std::uint64_t histogramChanges_ = 0, linearityAt_ = 0;
    EvalError lastError_{0, QString(), QString()};
    QString programFolder_;   // where the last load looked for a program named without a folder
};

// The clock set from CurrentSettings.SampleFreq, lowered to Max_Frequency first.
void ApplyConfiguredFrequency(EvalContext& ctx);

// What the user is told about a failed download, by LoadProgram's result; nothing for 0
// and for results the download never gives.
std::optional<QString> ProgramLoadErrorText(std::int16_t result);
