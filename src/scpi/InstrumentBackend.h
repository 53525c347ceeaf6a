#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// What the SCPI instrument needs from the board session. The instrument runs on the
// server's thread and calls the backend there; the backend may do the board work on a
// thread of its own and reports back through the Listener, on the server's thread.

// How a board operation ended: 0, or an error number (the board's positive ones with the
// program's texts, or a negative SCPI number) and its text.
struct BackendOutcome {
    int error = 0;
    QString text;
};

// One dynamic figure of a block; an invalid one carries why.
struct BlockFigure {
    double value = 0;
    bool valid = false;
    QString reason;
};

// Everything the instrument answers about the newest analysed block. Immutable once
// handed out, so the backend can produce the next one meanwhile.
struct BlockResult {
    enum Figure { Snr, Sinad, Thd, Sfdr, Enob, SignalDbfs, NoiseFloorDbfs, FigureCount };

    std::uint64_t sequence = 0;         // counts blocks since start-up
    std::vector<double> codes;          // converter codes
    std::vector<double> volts;          // codes over the configured input range
    std::vector<double> spectrumDbfs;   // one value per bin, DC to fs/2
    std::vector<double> histogram;      // hits per code, summed since the last clear
    std::array<BlockFigure, FigureCount> figures;
    QByteArray metricsJson;             // the object `kv2680 acquire --json` prints per block
};

struct AnalysisSettings {
    enum Window { Rectangular, Hann, BlackmanHarris4, BlackmanHarris7, FlatTop };
    Window window = BlackmanHarris4;
    int harmonics = 5;       // 2..25
    int averageCount = 1;    // 1..256 power spectra averaged
};

class InstrumentBackend {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // The board operation started last is over (error 0) or failed.
        virtual void OperationFinished(const BackendOutcome& outcome) = 0;
        // A continuous run's block failed (the run recovers and goes on) or stopped.
        virtual void RunFailure(const BackendOutcome& outcome) = 0;
    };

    virtual ~InstrumentBackend() = default;
    void SetListener(Listener* listener) { listener_ = listener; }

    // Board operations. The instrument starts one at a time and waits for
    // OperationFinished before the next; a backend may finish inside the call.
    virtual void LoadConfiguration(const QString& path) = 0;   // reset, configuration, clock, program
    virtual void SetPower(bool on) = 0;                         // Power Up / Power Down
    virtual void ResetBoard() = 0;                              // the documented reset
    virtual void StartBlock() = 0;                              // one block, analysed
    virtual void SelfTest() = 0;                                // outcome 0 when it passes

    // A continuous run reports failures through RunFailure, never OperationFinished.
    virtual void StartContinuous() = 0;
    // Ends a continuous run or a block in progress; a stopped block finishes with an
    // outcome. Safe to call when idle.
    virtual void Abort() = 0;
    virtual bool Continuous() const = 0;

    // The newest analysed block; null before the first.
    virtual std::shared_ptr<const BlockResult> LastBlock() const = 0;
    virtual BackendOutcome StoreLastBlock(const QString& path) = 0;   // a raw data file

    // Settings, applied between operations. Sample counts are 256 * 2^k up to 8192.
    virtual int SampleCount() const = 0;
    virtual BackendOutcome SetSampleCount(int count) = 0;
    virtual std::int32_t SampleRate() const = 0;
    // The setup dialog's rules: above the configuration's ceiling gives the ceiling.
    virtual BackendOutcome SetSampleRate(std::int32_t hz) = 0;
    virtual QList<std::int32_t> RateList() const = 0;   // the setup dialog's list, up to the ceiling
    virtual bool PoweredOn() const = 0;
    virtual QString ConfigurationName() const = 0;      // empty before a load
    virtual AnalysisSettings Analysis() const = 0;
    virtual void SetAnalysis(const AnalysisSettings& settings) = 0;
    virtual void ClearAverage() = 0;                    // averaged spectra and histogram
    virtual QString Model() const = 0;
    virtual QString SerialNumber() const = 0;

protected:
    Listener* listener_ = nullptr;
};
