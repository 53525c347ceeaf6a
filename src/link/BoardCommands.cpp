#include "link/CommsFunctions.h"

#include "core/EvalError.h"
#include "core/Numbers.h"
#include "link/PortAccess.h"

// The board's command frame, value read and reset.

namespace {

bool IsWriteTimeout(int number)
{
    return number == LinkError::EppWriteNoAcknowledge || number == LinkError::EppWriteNotReleased;
}

bool IsReadTimeout(int number)
{
    return number == LinkError::EppReadNoAcknowledge || number == LinkError::EppReadNotReleased;
}

QString PadHex(QString hex, int width)
{
    return hex.size() < width ? QString(width - hex.size(), u'0') + hex : hex;
}

[[noreturn]] void RaiseReadValue()
{
    throw EvalError(LinkError::ReadValueFailed, QStringLiteral("ReadValue"),
                    QStringLiteral("ReadValue Error"));
}

} // namespace

QString CommunicationFailedText(int label)
{
    return QStringLiteral("Communication with the Eval Control Board Failed.\r\n(Error %1)\r\n"
                          "Please Reset the Board and Try Again.").arg(label);
}

QString CommandEchoLine(std::int16_t first, std::int32_t word, std::int16_t code)
{
    return QStringLiteral("Sent:") + PadHex(Hex16(first), 2) + PadHex(Hex32(word), 4)
        + PadHex(Hex16(code), 2);
}

void SendCommand(EvalContext& ctx, std::int16_t first, std::int32_t word, std::int16_t code)
{
    if (ctx.CurrentSettings.EchoComms == True && ctx.Status1)
        ctx.Status1->AddLine(CommandEchoLine(first, word, code));

    static const char* const kByteNames[] = {"First Byte", "Word1 High Byte", "Word1 Low Byte", "Byte2"};
    int step = 0;
    try {
        const std::int16_t base = ctx.PortBaseAddress;
        EPPWrite(ctx, base, first);
        ++step;
        EPPWrite(ctx, base, ToInt16(word / 256));   // truncating toward zero
        ++step;
        EPPWrite(ctx, base, ToInt16(word % 256));   // remainder with the word's sign
        ++step;
        EPPWrite(ctx, base, code);
    } catch (const EvalError& e) {
        // A byte that timed out stops the frame; any other failure ends it silently.
        if (IsWriteTimeout(e.Number))
            throw EvalError(LinkError::SendCommandFailed, QStringLiteral("Send Command"),
                            QStringLiteral("Send Command Failed on ") + QLatin1String(kByteNames[step]));
    }
}

std::int32_t ReadValue(EvalContext& ctx)
{
    std::int16_t high = 0, low = 0;
    try {
        high = EPPRead(ctx, ctx.PortBaseAddress);
        low = EPPRead(ctx, ctx.PortBaseAddress);
    } catch (const EvalError& e) {
        if (IsReadTimeout(e.Number))
            RaiseReadValue();
        throw;
    }
    return std::int32_t(high) * 256 | low;
}

void SendResetCommand(EvalContext& ctx)
{
    SendCommand(ctx, 0, 0, 8);   // 504 ends the reset here and goes to the caller
    for (int i = 0; i < LinkLimits::kResetPauseEvents; ++i)
        if (ctx.Events)
            ctx.Events->ProcessEvents();
    PulseControlLines(ctx);
}

void PulseControlLines(EvalContext& ctx)
{
    const auto control = std::int16_t(ctx.PortBaseAddress + 2);
    const auto c = std::int16_t(ReadPortByte(ctx, control) & 0xD4);
    WritePortByte(ctx, control, c);
    WritePortByte(ctx, control, std::int16_t(c | 0x09));   // write strobe + address strobe
    WritePortByte(ctx, control, c);
}

void ResetBoard(EvalContext& ctx)
{
    // "Resume next": every step runs whatever the one before it did.
    RunStep([&] { if (ctx.Status1) ctx.Status1->ClearLines(); });
    RunStep([&] {
        if (!ctx.Ui)
            return;
        ctx.Ui->SetDisplayModeEnabled(false);
        ctx.Ui->SetHoldZoomEnabled(false);
        ctx.Ui->ClearHoldZoom();
    });
    RunStep([&] { if (ctx.Ui) ctx.Ui->SetSupplyLatchValue(0); });
    Settings& s = ctx.CurrentSettings;
    s.SampleFreq = 100000;
    s.NumberOfSamples = 0;
    s.Max_Frequency = 2000000;
    s.ProgramLoaded = False;
    s.DataLoaded = False;
    RunStep([&] { if (ctx.Ui) ctx.Ui->SetSupplyLatchValue(144); });

    // "Board Reset" only once the board answers as its loader does; a board out of step
    // is brought back first, so only a board that is off or broken needs its own button.
    bool reset = RunStep([&] { SendResetCommand(ctx); }) == 0 && LoaderAnswers(ctx);
    if (!reset) {
        Resynchronise(ctx);
        reset = LoaderAnswers(ctx);
    }
    if (!reset) {
        RunStep([&] {
            if (ctx.Messages)
                ctx.Messages->ShowMessage({QStringLiteral("The Eval Control Board Failed to Respond\r\n"
                                                          "Please Press the RESET button on the Board."),
                                           QStringLiteral("Reset Error"), MessageIcon::Exclamation,
                                           MessageButtons::Ok});
        });
        RunStep([&] { if (ctx.Status1) ctx.Status1->AddLine(QStringLiteral("Reset Failure")); });
        return;
    }
    RunStep([&] { if (ctx.Status1) ctx.Status1->AddLine(QStringLiteral("Board Reset"), Colour::Red); });
    RunStep([&] {
        if (!ctx.Ui)
            return;
        for (MainButton b : {MainButton::ContSample, MainButton::Sample, MainButton::StopSampling,
                             MainButton::PowerDown, MainButton::PowerUp})
            ctx.Ui->SetButtonEnabled(b, false);
    });
}
