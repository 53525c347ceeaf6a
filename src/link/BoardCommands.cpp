#include "link/CommsFunctions.h"

#include "core/BoardCommandCode.h"
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

void SendCommand(BoardLink& link, std::int16_t first, std::int32_t word, std::int16_t code)
{
    if (link.EchoComms && link.Echo)
        link.Echo->AddLine(CommandEchoLine(first, word, code));

    static const char* const kByteNames[] = {"First Byte", "Word1 High Byte", "Word1 Low Byte", "Byte2"};
    int step = 0;
    try {
        const std::int16_t base = link.PortBaseAddress;
        EPPWrite(link, base, first);
        ++step;
        EPPWrite(link, base, ToInt16(word / 256));   // truncating toward zero
        ++step;
        EPPWrite(link, base, ToInt16(word % 256));   // remainder with the word's sign
        ++step;
        EPPWrite(link, base, code);
    } catch (const EvalError& e) {
        // A byte that timed out stops the frame; any other failure ends it silently.
        if (IsWriteTimeout(e.Number))
            throw EvalError(LinkError::SendCommandFailed, QStringLiteral("Send Command"),
                            QStringLiteral("Send Command Failed on ") + QLatin1String(kByteNames[step]));
    }
}

std::int32_t ReadValue(BoardLink& link)
{
    std::int16_t high = 0, low = 0;
    try {
        high = EPPRead(link, link.PortBaseAddress);
        low = EPPRead(link, link.PortBaseAddress);
    } catch (const EvalError& e) {
        if (IsReadTimeout(e.Number))
            RaiseReadValue();
        throw;
    }
    return std::int32_t(high) * 256 | low;
}

void SendResetCommand(BoardLink& link)
{
    SendCommand(link, 0, 0, BoardCommandCode::Reset);   // 504 ends the reset here and goes to the caller
    for (int i = 0; i < LinkLimits::kResetPauseEvents; ++i)
        link.Yield();
    PulseControlLines(link);
}

void PulseControlLines(BoardLink& link)
{
    const auto control = std::int16_t(link.PortBaseAddress + 2);
    const auto c = std::int16_t(ReadPortByte(link, control) & 0xD4);
    WritePortByte(link, control, c);
    WritePortByte(link, control, std::int16_t(c | 0x09));   // write strobe + address strobe
    WritePortByte(link, control, c);
}

void SetIdleControlRegister(BoardLink& link)
{
    const auto control = std::int16_t(link.PortBaseAddress + 2);
    const std::int16_t value = ReadPortByte(link, control);
    WritePortByte(link, control, std::int16_t((value & 0xD4) | 0x20));
}
