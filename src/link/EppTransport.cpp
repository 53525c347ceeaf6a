#include "link/CommsFunctions.h"

#include "core/EvalError.h"
#include "link/PortAccess.h"


// The software-driven EPP handshake. Status bit 7 is the board's
// wait/acknowledge line; the control register carries the strobes.

namespace {

constexpr std::int16_t kStrobeMask = 0xD4;   // clears write, data and address strobe and direction
constexpr std::int16_t kWriteCycle = 0x03;   // write strobe + data strobe
constexpr std::int16_t kDataStrobe = 0x02;
constexpr std::int16_t kDirectionIn = 0x20;
constexpr std::int16_t kWaitLine = 0x80;
constexpr int kFailingRead = LinkLimits::kPollLimit + 1;

// A failed transfer leaves the strobes idle; when the port's driver refused an access,
// its reason goes to the status box beside the link's own error.
[[noreturn]] void Fail(BoardLink& link, std::int16_t control, std::int16_t c, int number,
                       const QString& source, const QString& description)
{
    const QString reason = link.Port->TakeDriverError();
    WritePortByte(link, control, c);
    if (!reason.isEmpty())
        link.Report(reason, Colour::Red);
    throw EvalError(number, source, description);
}

// A driver failure anywhere in a transfer fails it: the byte may be wrong or lost.
inline void CheckDriver(BoardLink& link, std::int16_t control, std::int16_t c, int number,
                        const QString& source, const QString& description)
{
    const QString reason = link.Port->TakeDriverError();
    if (reason.isEmpty())
        return;
    WritePortByte(link, control, c);
    link.Port->TakeDriverError();   // the idle write's own failure adds nothing
    link.Report(reason, Colour::Red);
    throw EvalError(number, source, description);
}

// Acknowledge phase: every status read counts, and the read that brings the count to
// 1001 ends the transfer whatever it shows.
inline bool AwaitAcknowledge(BoardLink& link, std::int16_t status, int& n)
{
    for (;;) {
        const std::int16_t s = ReadPortByte(link, status);
        if (++n == kFailingRead)
            return false;
        if (!(s & kWaitLine))
            return true;
    }
}

// Release phase, counting on in the same n: a read that shows the release ends the
// phase; one that still shows the acknowledge and brings n to 1001 fails it.
inline bool AwaitRelease(BoardLink& link, std::int16_t status, int& n)
{
    for (;;) {
        const std::int16_t s = ReadPortByte(link, status);
        ++n;
        if (s & kWaitLine)
            return true;
        if (n >= kFailingRead)
            return false;
    }
}

} // namespace

std::int16_t EPPWrite(BoardLink& link, std::int16_t base, std::int16_t value)
{
    static const QString kSource = QStringLiteral("EPP Write");
    static const QString kTimeout = QStringLiteral("EPP Write Timeout");
    const auto status = std::int16_t(base + 1), control = std::int16_t(base + 2);

    const auto c = std::int16_t(ReadPortByte(link, control) & kStrobeMask);
    WritePortByte(link, control, c);
    WritePortByte(link, base, value);
    WritePortByte(link, base, value);
    WritePortByte(link, base, value);
    WritePortByte(link, control, std::int16_t(c | kWriteCycle));
    int n = 0;
    if (!AwaitAcknowledge(link, status, n))
        Fail(link, control, c, LinkError::EppWriteNoAcknowledge, kSource, kTimeout);
    WritePortByte(link, control, c);
    if (!AwaitRelease(link, status, n))
        Fail(link, control, c, LinkError::EppWriteNotReleased, kSource, kTimeout);
    CheckDriver(link, control, c, LinkError::EppWriteNoAcknowledge, kSource, kTimeout);
    return 0;
}

std::int16_t EPPRead(BoardLink& link, std::int16_t base)
{
    static const QString kSource = QStringLiteral("EPP Read");
    static const QString kTimeout = QStringLiteral("EPP Read Timeout");
    const auto status = std::int16_t(base + 1), control = std::int16_t(base + 2);

    const auto c = std::int16_t((ReadPortByte(link, control) & kStrobeMask) | kDirectionIn);
    WritePortByte(link, control, c);
    WritePortByte(link, control, std::int16_t(c | kDataStrobe));
    int n = 0;
    if (!AwaitAcknowledge(link, status, n))
        Fail(link, control, c, LinkError::EppReadNoAcknowledge, kSource, kTimeout);
    const std::int16_t data = ReadPortByte(link, base);
    WritePortByte(link, control, c);
    if (!AwaitRelease(link, status, n))
        Fail(link, control, c, LinkError::EppReadNotReleased, kSource, kTimeout);
    CheckDriver(link, control, c, LinkError::EppReadNoAcknowledge, kSource, kTimeout);
    return data;
}

std::int16_t WaitForReady(BoardLink& link)
{
    const std::int16_t base = link.PortBaseAddress;
    const auto status = std::int16_t(base + 1), control = std::int16_t(base + 2);
    static const QString kSource = QStringLiteral("WaitForReady "), kError = QStringLiteral("Error");
    const auto fail = [] { throw EvalError(LinkError::WaitForReadyTimeout, kSource, kError); };

    if (!link.Timer1.isActive())
        link.Timer1.start();   // the interval the caller set

    const auto c = std::int16_t(ReadPortByte(link, control) & kStrobeMask);
    WritePortByte(link, control, c);

    const auto checkDriver = [&] { CheckDriver(link, control, c, LinkError::WaitForReadyTimeout, kSource, kError); };

    // Busy phase: the wait line is high while the board converts.
    while (ReadPortByte(link, status) & kWaitLine) {
        checkDriver();
        link.Yield();
        if (link.Timer1.TimedOut())
            fail();
    }

    // One data-strobe pulse with the lines driven: the ready handshake.
    WritePortByte(link, control, std::int16_t(c | kDataStrobe));
    WritePortByte(link, control, c);

    // Ready phase: the board raises the wait line when it takes the strobe.
    while (!(ReadPortByte(link, status) & kWaitLine)) {
        checkDriver();
        if (link.Timer1.TimedOut())
            fail();
        link.Yield();
    }
    return 0;
}
