// The instrument backend on the board session of `kv2680 acquire`. Everything the server
// needs from the session lives here.
#include "cli/ServeBackend.h"

#include "cli/Commands.h"
#include "engine/BlockFiles.h"
#include "engine/BlockReport.h"

#include "board/SimulatedPorts.h"

#include "config/FrequencyRules.h"
#include "core/BoardCommandCode.h"
#include "engine/AcquisitionRun.h"
#include "engine/BoardSession.h"
#include "engine/SelfTest.h"
#include "link/CommsFunctions.h"
#include "scpi/SafePath.h"
#include "scpi/ScpiError.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <functional>

namespace {

constexpr int kFailuresBeforeStop = 5;   // a continuous run gives up after this many in a row

const WindowKind kWindows[] = {WindowKind::Rectangular, WindowKind::Hann, WindowKind::BlackmanHarris4,
                               WindowKind::BlackmanHarris7, WindowKind::FlatTop};

BlockFigure Figure(const Metric& m)
{
    return {m.value, m.Valid(), QString::fromStdString(m.reason)};
}

// The program's self-test on a fresh instant simulated board; its first failed check is
// the error.
BackendOutcome SelfTestOutcome()
{
    const SelfTestResult result = RunSelfTest();
    if (result.Passed())
        return {};
    return {ScpiError::ExecutionError, result.FirstFailure()};
}

class ConsoleBackend : public InstrumentBackend {
public:
    ConsoleBackend(const PortRequest& port, const QString& configDir)
        : port_(port), session_(port), engine_(session_.board), configDir_(configDir)
    {
        if (!session_.FaultProblem().isEmpty())
            throw CommandFailure(ExitStatus::Usage, QStringLiteral("--fault: ") + session_.FaultProblem());
        if (session_.Simulated())
            session_.Simulated()->Board().Trace().SetEnabled(false);   // a server runs for days
        session_.board.StartUp();
        if (!session_.PortProblem().isEmpty())
            throw CommandFailure(ExitStatus::Failed, QString(session_.PortProblem()).replace(u'\n', QStringLiteral("; ")));
        QObject::connect(&run_, &AcquisitionRun::BlockAnalysed, &run_, [this] {
            failuresInRow_ = 0;
            KeepBlock();
            FirstBlockIn();
        });
        QObject::connect(&run_, &AcquisitionRun::RunEnded, &run_, [this](bool, int error) { RunEnded(error); });
    }
    ~ConsoleBackend() override
    {
        closing_ = true;   // board work still queued is dropped while the run is waited for
        continuous_ = false;
        run_.Stop();
        run_.WaitUntilIdle();
    }

    void LoadConfiguration(const QString& path) override
    {
        Later([this, path] { Finish(Load(path)); });
    }
    void SetPower(bool on) override
    {
        Later([this, on] {
            const int error = RunStep([&] {
                SendCommand(session_.ctx.Link, 0, 0, on ? BoardCommandCode::PowerUp : BoardCommandCode::PowerDown);
            });
            if (error == 0)
                power_ = on;
            Finish(error == 0 ? BackendOutcome{} : BackendOutcome{error, QStringLiteral("Send Command Error")});
        });
    }
    void ResetBoard() override
    {
        Later([this] {
            session_.board.Reset();
            Finish({});
        });
    }
    void StartBlock() override
    {
        Later([this] { Finish(TakeBlock()); });
    }
    void SelfTest() override
    {
        Later([this] { Finish(SelfTestOutcome()); });
    }
    void StartContinuous() override
    {
        failuresInRow_ = 0;
        continuous_ = true;
        firstBlockPending_ = true;
        Later([this] { ContinueRun(); });
    }
    void Abort() override
    {
        continuous_ = false;
        run_.Stop();
        FirstBlockIn();
    }
    bool Continuous() const override { return continuous_; }

    std::shared_ptr<const BlockResult> LastBlock() const override { return last_; }
    BackendOutcome StoreLastBlock(const QString& path) override
    {
        try {
            WriteRawBlock(path, last_->codes);
        } catch (const CommandFailure& e) {
            return {ScpiError::ExecutionError, QString::fromStdString(e.what())};
        }
        return {};
    }

    int SampleCount() const override { return 256 << SampleCountIndex(session_.ctx.CurrentSettings.NumberOfSamples); }
    BackendOutcome SetSampleCount(int count) override
    {
        run_.WaitUntilIdle();   // the settings the upload of a stopped run reads
        const int index = SampleCountItems().indexOf(QString::number(count));
        if (index < 0)
            return {ScpiError::DataOutOfRange, QStringLiteral("256, 512, ... 8192")};
        ChooseSampleCount(index, session_.ctx.CurrentSettings);
        return {};
    }
    std::int32_t SampleRate() const override { return session_.ctx.CurrentSettings.SampleFreq; }
    BackendOutcome SetSampleRate(std::int32_t hz) override
    {
        run_.WaitUntilIdle();
        EvalContext& ctx = session_.ctx;
        if (ctx.CurrentSettings.Max_Frequency <= 0)
            return {ScpiError::SettingsConflict, QStringLiteral("no configuration loaded")};
        ChooseListFrequency(QString::number(hz), ctx.CurrentSettings, ctx.SampleClock);
        return {};
    }
    QList<std::int32_t> RateList() const override
    {
        const Settings& s = session_.ctx.CurrentSettings;
        QStringList items = SampleFrequencyItems();
        if (s.SampleFreq > 0) {
            const FrequencyPlace place = FindFrequencyPlace(items, s.SampleFreq);
            if (place.insert)
                items.insert(place.index, QString::number(s.SampleFreq));
        }
        QList<std::int32_t> rates;
        for (const QString& item : items) {
            if (item.toInt() <= s.Max_Frequency)
                rates << item.toInt();
        }
        return rates;
    }
    bool PoweredOn() const override { return power_; }
    QString ConfigurationName() const override { return configName_; }
    AnalysisSettings Analysis() const override { return analysis_; }
    void SetAnalysis(const AnalysisSettings& a) override
    {
        analysis_ = a;
        SpectrumAnalyzer& analyzer = engine_.Analyzer();
        analyzer.SetWindow(kWindows[a.window]);
        analyzer.SetHarmonics(a.harmonics);
        analyzer.SetAveraging(a.averageCount);
    }
    void ClearAverage() override
    {
        engine_.Analyzer().Restart();
        engine_.RestartHistogram();
    }
    QString Model() const override { return port_.parport ? QStringLiteral("EVAL-BOARD") : QStringLiteral("SIMULATED"); }
    QString SerialNumber() const override
    {
        return port_.parport ? QStringLiteral("parport%1").arg(*port_.parport) : QStringLiteral("0");
    }

private:
    // Board work runs from the event loop, never inside the instrument's call, never
    // inside another piece of board work (the link pumps events while it waits), and
    // never while the acquisition thread uploads.
    void Later(std::function<void()> work)
    {
        QTimer::singleShot(0, &run_, [this, work = std::move(work)] {
            if (closing_)
                return;
            if (busy_)
                return Later(work);
            busy_ = true;
            const bool idle = run_.WaitUntilIdle();
            if (idle && !closing_)
                work();
            busy_ = false;
            if (!idle)
                Later(work);
        });
    }
    void Finish(const BackendOutcome& outcome)
    {
        if (listener_)
            listener_->OperationFinished(outcome);
    }

    BackendOutcome BoardFailure(int error) const
    {
        const QString text = engine_.LastError().Description.isEmpty() ? session_.LastFailure() : engine_.LastError().Description;
        return {error, text.isEmpty() ? session_.LastFailure() : text};
    }

    BackendOutcome Load(const QString& path)
    {
        EvalContext& ctx = session_.ctx;
        const QFileInfo config(path);
        bool programOutside = false;
        session_.messages.shown.clear();
        session_.status1.failures.clear();
        const LoadOutcome loaded = session_.board.LoadConfiguration(config.absoluteFilePath(), [&] {
            ApplyConfiguredFrequency(ctx);
            // The board program is read from the configuration folder only.
            if (ResolveExistingFile(configDir_, ctx.CurrentSettings.EXEName).error == ScpiError::FileNameError) {
                programOutside = true;
                ctx.CurrentSettings.EXEName = QStringLiteral("/");
            }
        }, config.absolutePath());
        if (!loaded.configRead)
            return {ScpiError::ExecutionError, session_.LastFailure()};
        if (programOutside)
            return {ScpiError::FileNameError, QStringLiteral("the board program lies outside the configuration folder")};
        if (loaded.programResult != 0) {
            const auto text = ProgramLoadErrorText(loaded.programResult);
            return {ScpiError::ExecutionError, QStringLiteral("program load failed: ") +
                                                   (text ? QString(*text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")) : session_.LastFailure())};
        }
        configName_ = QDir(QFileInfo(configDir_).canonicalFilePath()).relativeFilePath(path);
        lastPath_ = path;
        power_ = true;
        return {};
    }

    BackendOutcome TakeBlock()
    {
        const int error = engine_.TakeBlock();
        if (error != 0)
            return BoardFailure(error);
        KeepBlock();
        return {};
    }

    // The analysed block in the session becomes the newest one the instrument answers about.
    void KeepBlock()
    {
        const EvalContext& ctx = session_.ctx;
        auto block = std::make_shared<BlockResult>();
        block->sequence = ++blocks_;
        block->codes = ctx.SampleCodes;
        block->volts = ctx.SampleVolts;
        block->spectrumDbfs = ctx.Spectrum;
        const auto& counts = engine_.Histogram().Histogram().counts;
        block->histogram.assign(counts.begin(), counts.end());
        const DynamicMetrics& m = engine_.Analyzer().Metrics();
        block->figures = {Figure(m.snrDb), Figure(m.sinadDb), Figure(m.thdDb), Figure(m.sfdrDb),
                          Figure(m.enob), Figure(m.signalDbfs), Figure(m.noiseFloorDbfs)};
        nlohmann::json json = ReportJson({QString::number(blocks_), ctx.SampleCodes.size(), ctx.CurrentSettings.SampleFreq, m});
        json["block"] = blocks_;
        json["time"] = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString();
        block->metricsJson = QByteArray::fromStdString(json.dump());
        last_ = std::move(block);
    }

    // The continuous run on the acquisition thread, (re)started while the mode is on.
    void ContinueRun()
    {
        if (continuous_ && !run_.Running())
            run_.Start(true);
    }

    // A run that a failed block ended is reported; the board is reset and the
    // configuration and program loaded again, and the run goes on.
    // The start of a continuous run is an operation until its first block is in, or the
    // run failed or was aborted before that.
    void FirstBlockIn()
    {
        if (std::exchange(firstBlockPending_, false))
            Finish({});
    }
    void RunEnded(int error)
    {
        if (error != 0)
            FirstBlockIn();
        if (error == 0) {
            Later([this] { ContinueRun(); });   // ended by a stop, or by someone else clearing the run's flag
            return;
        }
        const BackendOutcome failed = BoardFailure(error);
        if (listener_)
            listener_->RunFailure(failed);
        Later([this, failed] { Recover(failed); });
    }
    void Recover(BackendOutcome outcome)
    {
        if (!lastPath_.isEmpty()) {
            outcome = Load(lastPath_);
            if (outcome.error != 0 && listener_)
                listener_->RunFailure(outcome);
        }
        if (!continuous_)
            return;   // aborted meanwhile
        failuresInRow_ = outcome.error == 0 ? 0 : failuresInRow_ + 1;
        if (failuresInRow_ >= kFailuresBeforeStop) {
            continuous_ = false;
            if (listener_)
                listener_->RunFailure({ScpiError::ExecutionError,
                                       QStringLiteral("continuous run stopped after %1 failures in a row").arg(kFailuresBeforeStop)});
            return;
        }
        ContinueRun();
    }

    PortRequest port_;
    ConsoleSession session_;
    BoardSession& engine_;
    QString configDir_;
    QString configName_;
    QString lastPath_;
    AcquisitionRun run_{engine_};   // after the session: it bridges the session's messages and lines
    bool continuous_ = false;       // the server's continuous mode: the run, or its recovery, goes on
    bool closing_ = false;
    bool busy_ = false;
    bool firstBlockPending_ = false;
    bool power_ = true;
    int failuresInRow_ = 0;
    std::uint64_t blocks_ = 0;
    AnalysisSettings analysis_;
    std::shared_ptr<const BlockResult> last_;
};

} // namespace

std::unique_ptr<InstrumentBackend> MakeConsoleBackend(const PortRequest& port, const QString& configDir)
{
    return std::make_unique<ConsoleBackend>(port, configDir);
}
