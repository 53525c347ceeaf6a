#include "engine/BoardSession.h"

#include "config/ConfigFile.h"
#include "core/EvalError.h"
#include "link/CommsFunctions.h"
#include "link/LinkStartUp.h"

namespace {

// A short pause before the download, counted rather than timed.
void BusyDelay()
{
    volatile int count = 0;
    while (count <= 15000)
        count = count + 1;
}

} // namespace

void StartLink(EvalContext& ctx)
{
    LinkStartUp(ctx);
    SetIdleControlRegister(ctx);
}

void ApplyConfiguredFrequency(EvalContext& ctx)
{
    Settings& s = ctx.CurrentSettings;
    if (s.SampleFreq > s.Max_Frequency)
        s.SampleFreq = s.Max_Frequency;
    ctx.SampleClock.SetSampleFrequency(s.SampleFreq);
}

LoadOutcome LoadConfiguration(EvalContext& ctx, const QString& configPath,
                              const std::function<void()>& applyFrequency)
{
    LoadOutcome outcome;
    RunStep([&] { ResetBoard(ctx); });
    std::int16_t read = 2;
    RunStep([&] {
        read = ReadConfigFile(configPath, ctx.CurrentSettings, ctx.BoardLatch, ctx.lstINI_File,
                              *ctx.Messages);
    });
    if (read != 0) {
        ctx.Status1->AddLine(QStringLiteral("Error Loading CFG"));
        return outcome;
    }
    outcome.configRead = true;
    RunStep([&] {
        if (applyFrequency)
            applyFrequency();
        else
            ApplyConfiguredFrequency(ctx);
    });
    BusyDelay();

    RunStep([&] { outcome.programResult = LoadProgram(ctx); });
    if (outcome.programResult == 0) {
        RunStep([&] { ShowConfigurationStatus(ctx.CurrentSettings, *ctx.Status2); });
        ctx.Status1->AddLine(QStringLiteral("Program Running"));
        ctx.CurrentSettings.ProgramLoaded = True;
    }
    return outcome;
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
