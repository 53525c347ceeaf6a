#include "engine/BoardSession.h"

#include "config/ConfigFile.h"
#include "core/BoardCommandCode.h"
#include "core/Numbers.h"
#include "engine/SessionStartUp.h"
#include "engine/WaveformScaling.h"
#include "link/CommsFunctions.h"

#include <QDir>

namespace {

// A short pause before the download, counted rather than timed.
void BusyDelay()
{
    volatile int count = 0;
    while (count <= 15000)
        count = count + 1;
}

MessageRequest Exclamation(QString text, QString title)
{
    return {std::move(text), std::move(title), MessageIcon::Exclamation, MessageButtons::Ok};
}

} // namespace

BoardLink& BoardSession::Link()
{
    ctx_.Link.EchoComms = ctx_.CurrentSettings.EchoComms == True;
    ctx_.Link.Echo = ctx_.Status1;
    return ctx_.Link;
}

void BoardSession::StartUp()
{
    Link();
    LinkStartUp(ctx_);
    SetIdleControlRegister(ctx_.Link);
}

void ApplyConfiguredFrequency(EvalContext& ctx)
{
    Settings& s = ctx.CurrentSettings;
    if (s.SampleFreq > s.Max_Frequency)
        s.SampleFreq = s.Max_Frequency;
    ctx.SampleClock.SetSampleFrequency(s.SampleFreq);
}

LoadOutcome BoardSession::LoadConfiguration(const QString& configPath, const std::function<void()>& applyFrequency,
                                            const QString& programFolder)
{
    LoadOutcome outcome;
    RunStep([&] { Reset(); });
    std::int16_t read = 2;
    RunStep([&] {
        read = ReadConfigFile(configPath, ctx_.CurrentSettings, ctx_.BoardLatch, ctx_.lstINI_File,
                              *ctx_.Messages);
    });
    if (read != 0) {
        ctx_.Status1->AddLine(QStringLiteral("Error Loading CFG"));
        return outcome;
    }
    outcome.configRead = true;
    RunStep([&] {
        if (applyFrequency)
            applyFrequency();
        else
            ApplyConfiguredFrequency(ctx_);
    });
    BusyDelay();

    programFolder_ = programFolder;
    outcome.programResult = DownloadProgram();
    return outcome;
}

std::int16_t BoardSession::DownloadProgram()
{
    std::int16_t result = -1;
    RunStep([&] {
        const QString& program = ctx_.CurrentSettings.EXEName;
        const QString path = programFolder_.isEmpty() || program.isEmpty() ? program : QDir(programFolder_).filePath(program);
        result = LoadProgram(Link(), path, ctx_.BoardLatch.Value(), ctx_.CurrentPeriodWord());
    });
    if (result == 0) {
        RunStep([&] { ShowConfigurationStatus(ctx_.CurrentSettings, *ctx_.Status2); });
        ctx_.Status1->AddLine(QStringLiteral("Program Running"));
        ctx_.CurrentSettings.ProgramLoaded = True;
    }
    if (ctx_.Listener)
        ctx_.Listener->ProgramLoaded(ctx_.CurrentSettings.ProgramLoaded == True);
    return result;
}

RecoveryOutcome BoardSession::Recover()
{
    // The reset puts the power-on block length and rates back; the run goes on with its own.
    Settings& s = ctx_.CurrentSettings;
    const auto samples = s.NumberOfSamples;
    const auto rate = s.SampleFreq;
    const auto maxRate = s.Max_Frequency;
    RecoveryOutcome outcome;
    outcome.reset = Reset();
    s.NumberOfSamples = samples;
    s.SampleFreq = rate;
    s.Max_Frequency = maxRate;
    BusyDelay();
    outcome.programResult = DownloadProgram();
    return outcome;
}

bool BoardSession::Reset()
{
    SessionListener* listener = ctx_.Listener;
    // "Resume next": every step runs whatever the one before it did.
    RunStep([&] { if (ctx_.Status1) ctx_.Status1->ClearLines(); });
    RunStep([&] { if (listener) listener->ResetBegun(); });
    RunStep([&] { if (listener) listener->SupplyLatchShown(0); });
    Settings& s = ctx_.CurrentSettings;
    s.SampleFreq = 100000;
    s.NumberOfSamples = 0;
    s.Max_Frequency = 2000000;
    s.ProgramLoaded = False;
    s.DataLoaded = False;
    RunStep([&] { if (listener) listener->SupplyLatchShown(144); });

    // "Board Reset" only once the board answers as its loader does; a board out of step
    // is brought back first, so only a board that is off or broken needs its own button.
    BoardLink& link = Link();
    bool reset = RunStep([&] { SendResetCommand(link); }) == 0 && LoaderAnswers(link);
    if (!reset) {
        Resynchronise(link);
        reset = LoaderAnswers(link);
    }
    if (!reset) {
        RunStep([&] {
            if (ctx_.Messages)
                ctx_.Messages->ShowMessage(Exclamation(QStringLiteral("The Eval Control Board Failed to Respond\r\n"
                                                                      "Please Press the RESET button on the Board."),
                                                       QStringLiteral("Reset Error")));
        });
        RunStep([&] { if (ctx_.Status1) ctx_.Status1->AddLine(QStringLiteral("Reset Failure")); });
    } else {
        RunStep([&] { if (ctx_.Status1) ctx_.Status1->AddLine(QStringLiteral("Board Reset"), Colour::Red); });
    }
    RunStep([&] { if (listener) listener->ResetEnded(reset); });
    return reset;
}

bool BoardSession::ChangeSupplies(std::int16_t latch)
{
    if (RunStep([&] { SendCommand(Link(), latch, 0, BoardCommandCode::LoadLatch); }) == LinkError::SendCommandFailed) {
        ctx_.Messages->ShowMessage(Exclamation(CommunicationFailedText(507), QStringLiteral("Send Command Error")));
        ctx_.Status1->AddLine(QStringLiteral("Send Command Error"));
        return false;
    }
    ctx_.BoardLatch.SetValue(latch);
    ctx_.Status1->AddLine(QStringLiteral("Supplies Changed"));
    return true;
}

void BoardSession::SendPowerCommand(std::int16_t code, const QString& done)
{
    if (RunStep([&] { SendCommand(Link(), 0, 0, code); }) == LinkError::SendCommandFailed) {
        ctx_.Messages->ShowMessage(Exclamation(CommunicationFailedText(507), QStringLiteral("Send Command Error")));
        ctx_.Status1->AddLine(QStringLiteral("Send Command Error"));
    } else {
        ctx_.Status1->AddLine(done);
    }
}

void BoardSession::PowerDown() { SendPowerCommand(BoardCommandCode::PowerDown, QStringLiteral("Part Powered Down")); }

void BoardSession::PowerUp() { SendPowerCommand(BoardCommandCode::PowerUp, QStringLiteral("Part Powered Up")); }

int BoardSession::ReadBlock(std::vector<double>& codes)
{
    lastError_ = EvalError(0, QString(), QString());
    BoardLink& link = Link();
    // A watchdog with an interval runs from before the block command.
    if (link.Timer1.interval() > 0)
        link.Timer1.start();
    BlockRequest request = ctx_.CurrentBlockRequest();
    request.VerifyEnd = ctx_.Options.VerifyUpload;
    const int error = RunStep([&] { ReadData(link, request, BlockLength(), codes); }, &lastError_);
    if (error == LinkError::SendCommandFailed && ctx_.Messages)
        ctx_.Messages->ShowMessage({QStringLiteral("Evaluation Control Board failed to respond to a command.\r"
                                                   "A reset may be necessary"),
                                    QStringLiteral("Send Command Error"), MessageIcon::Critical,
                                    MessageButtons::OkCancel});
    return error;
}

void BoardSession::ConvertToVolts()
{
    ::ConvertToVolts(ctx_.CurrentSettings, ctx_.SampleCodes, ctx_.SampleVolts);
}

void BoardSession::ComputeSpectrum()
{
    analyzer_.SetResolution(ctx_.CurrentSettings.NumberOfBits);
    analyzer_.Analyse(ctx_.SampleCodes);
    analyzer_.SpectrumDb(ctx_.Spectrum);
}

void BoardSession::BuildHistogram()
{
    histogram_.Add(ctx_.SampleCodes, ctx_.CurrentSettings.NumberOfBits);
    ++histogramChanges_;
}

void BoardSession::RestartHistogram()
{
    histogram_.Restart();
    ++histogramChanges_;
}

const SineLinearity& BoardSession::Linearity()
{
    if (linearityAt_ != histogramChanges_) {
        const CodeHistogram& h = histogram_.Histogram();
        linearity_ = h.counts.empty() ? SineLinearity{} : SineCodeDensity(h);
        linearityAt_ = histogramChanges_;
    }
    return linearity_;
}

void BoardSession::ReportBlock(int error)
{
    // A block that did not arrive is no block: a refused block command is as much a
    // failure as a failed upload, and neither may be reported as uploaded.
    if (error != 0) {
        ctx_.Status1->AddLine(error == LinkError::ReadDataFailed ? QStringLiteral("Data Upload Failure")
                                                                 : QStringLiteral("Send Command Error"),
                              Colour::Red);
        return;
    }
    ctx_.Status1->AddLine(PlainNumber(BlockLength()) + QStringLiteral(" Data Samples Uploaded"));
    ctx_.CurrentSettings.DataLoaded = True;
}

int BoardSession::TakeBlock()
{
    const int error = ReadBlock();
    if (error == 0) {
        RunStep([&] { ConvertToVolts(); });
        RunStep([&] { ComputeSpectrum(); });
        RunStep([&] { BuildHistogram(); });
    }
    ReportBlock(error);
    return error;
}

std::optional<QString> ProgramLoadErrorText(std::int16_t result)
{
    const QString programFile = QStringLiteral("The Program File specified by the Configuration\r\n");
    switch (result) {
    case 1:
        return programFile + QStringLiteral("File could not be found. Please make sure\r\n"
                                            "it is in the current directory.");
    case 2:
        return programFile + QStringLiteral("File does not appear to be a valid DSP file");
    case 3: return CommunicationFailedText(504);
    case 4: return CommunicationFailedText(503);
    case 5: return CommunicationFailedText(505);
    case 6: return CommunicationFailedText(506);
    case 7: return CommunicationFailedText(507);
    default: return std::nullopt;
    }
}
