#include "link/CommsFunctions.h"

#include "core/EvalError.h"
#include "link/PortAccess.h"

#include <QCoreApplication>

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
[[noreturn]] void Fail(EvalContext& ctx, std::int16_t control, std::int16_t c, int number,
                       const QString& source, const QString& description)
{
    const QString reason = ctx.Port->TakeDriverError();
    WritePortByte(ctx, control, c);
    if (!reason.isEmpty() && ctx.Status1)
        ctx.Status1->AddLine(reason, Colour::Red);
    throw EvalError(number, source, description);
}

// A driver failure anywhere in a transfer fails it: the byte may be wrong or lost.
inline void CheckDriver(EvalContext& ctx, std::int16_t control, std::int16_t c, int number,
                        const QString& source, const QString& description)
{
    const QString reason = ctx.Port->TakeDriverError();
    if (reason.isEmpty())
        return;
    WritePortByte(ctx, control, c);
    ctx.Port->TakeDriverError();   // the idle write's own failure adds nothing
    if (ctx.Status1)
        ctx.Status1->AddLine(reason, Colour::Red);
    throw EvalError(number, source, description);
}

// Acknowledge phase: every status read counts, and the read that brings the count to
// 1001 ends the transfer whatever it shows.
inline bool AwaitAcknowledge(EvalContext& ctx, std::int16_t status, int& n)
{
    for (;;) {
        const std::int16_t s = ReadPortByte(ctx, status);
        if (++n == kFailingRead)
            return false;
        if (!(s & kWaitLine))
            return true;
    }
}

// Release phase, counting on in the same n: a read that shows the release ends the
// phase; one that still shows the acknowledge and brings n to 1001 fails it.
inline bool AwaitRelease(EvalContext& ctx, std::int16_t status, int& n)
{
    for (;;) {
        const std::int16_t s = ReadPortByte(ctx, status);
        ++n;
        if (s & kWaitLine)
            return true;
        if (n >= kFailingRead)
            return false;
    }
}

void PollForReady(EvalContext& ctx)
{
    if (ctx.Events)
        ctx.Events->ProcessEvents();
    else
        QCoreApplication::processEvents();
}

} // namespace

std::int16_t EPPWrite(EvalContext& ctx, std::int16_t base, std::int16_t value)
{
    static const QString kSource = QStringLiteral("EPP Write");
    static const QString kTimeout = QStringLiteral("EPP Write Timeout");
    const auto status = std::int16_t(base + 1), control = std::int16_t(base + 2);

    const auto c = std::int16_t(ReadPortByte(ctx, control) & kStrobeMask);
    WritePortByte(ctx, control, c);
    WritePortByte(ctx, base, value);
    WritePortByte(ctx, base, value);
    WritePortByte(ctx, base, value);
    WritePortByte(ctx, control, std::int16_t(c | kWriteCycle));
    int n = 0;
    if (!AwaitAcknowledge(ctx, status, n))
        Fail(ctx, control, c, LinkError::EppWriteNoAcknowledge, kSource, kTimeout);
    WritePortByte(ctx, control, c);
    if (!AwaitRelease(ctx, status, n))
        Fail(ctx, control, c, LinkError::EppWriteNotReleased, kSource, kTimeout);
    CheckDriver(ctx, control, c, LinkError::EppWriteNoAcknowledge, kSource, kTimeout);
    return 0;
}

std::int16_t EPPRead(EvalContext& ctx, std::int16_t base)
{
    static const QString kSource = QStringLiteral("EPP Read");
    static const QString kTimeout = QStringLiteral("EPP Read Timeout");
    const auto status = std::int16_t(base + 1), control = std::int16_t(base + 2);

    const auto c = std::int16_t((ReadPortByte(ctx, control) & kStrobeMask) | kDirectionIn);
    WritePortByte(ctx, control, c);
    WritePortByte(ctx, control, std::int16_t(c | kDataStrobe));
    int n = 0;
    if (!AwaitAcknowledge(ctx, status, n))
        Fail(ctx, control, c, LinkError::EppReadNoAcknowledge, kSource, kTimeout);
    const std::int16_t data = ReadPortByte(ctx, base);
    WritePortByte(ctx, control, c);
    if (!AwaitRelease(ctx, status, n))
        Fail(ctx, control, c, LinkError::EppReadNotReleased, kSource, kTimeout);
    CheckDriver(ctx, control, c, LinkError::EppReadNoAcknowledge, kSource, kTimeout);
    return data;
}

std::int16_t WaitForReady(EvalContext& ctx)
{
    const std::int16_t base = ctx.PortBaseAddress;
    const auto status = std::int16_t(base + 1), control = std::int16_t(base + 2);
    static const QString kSource = QStringLiteral("WaitForReady "), kError = QStringLiteral("Error");
    const auto fail = [] { throw EvalError(LinkError::WaitForReadyTimeout, kSource, kError); };

    if (ctx.Timer1 && !ctx.Timer1->isActive())
        ctx.Timer1->start();   // the interval the caller set

    const auto c = std::int16_t(ReadPortByte(ctx, control) & kStrobeMask);
    WritePortByte(ctx, control, c);

    const auto checkDriver = [&] { CheckDriver(ctx, control, c, LinkError::WaitForReadyTimeout, kSource, kError); };

    // Busy phase: the wait line is high while the board converts.
    while (ReadPortByte(ctx, status) & kWaitLine) {
        checkDriver();
        PollForReady(ctx);
        if (ctx.TimeOutFlag)
            fail();
    }

    // One data-strobe pulse with the lines driven: the ready handshake.
    WritePortByte(ctx, control, std::int16_t(c | kDataStrobe));
    WritePortByte(ctx, control, c);

    // Ready phase: the board raises the wait line when it takes the strobe.
    while (!(ReadPortByte(ctx, status) & kWaitLine)) {
        checkDriver();
        if (ctx.TimeOutFlag)
            fail();
        PollForReady(ctx);
    }
    return 0;
}
