#include "link/CommsFunctions.h"

#include "core/EvalError.h"
#include "link/PortAccess.h"

#include <chrono>

// Finding out where the board's program is, using only what the board answers, and
// getting a healthy board back into step after a transfer went wrong.

namespace {

constexpr std::int16_t kResetCode = 8;
constexpr std::int16_t kWaitLine = 0x80;
constexpr std::int16_t kDataStrobe = 0x02;
constexpr int kProbeSamples = 256;
constexpr double kCrystalHz = 40e6;
// Time the board is given beyond the block's own conversion time to signal ready.
constexpr double kReadyMarginS = 0.05;
// Every byte a board can still owe the PC: the largest block, or a packet answer.
constexpr int kMostPendingBytes = 2 * 32768;

bool WaitLineLow(EvalContext& ctx)
{
    return !(ReadPortByte(ctx, std::int16_t(ctx.PortBaseAddress + 1)) & kWaitLine);
}

void ReadyStrobe(EvalContext& ctx)
{
    const auto control = std::int16_t(ctx.PortBaseAddress + 2);
    const auto c = std::int16_t(ReadPortByte(ctx, control) & 0xD4);
    WritePortByte(ctx, control, c);
    WritePortByte(ctx, control, std::int16_t(c | kDataStrobe));
    WritePortByte(ctx, control, c);
}

void ResetPause(EvalContext& ctx)
{
    for (int i = 0; i < LinkLimits::kResetPauseEvents; ++i)
        if (ctx.Events)
            ctx.Events->ProcessEvents();
}

} // namespace

bool LoaderAnswers(EvalContext& ctx)
{
    // Only the loader takes a download and answers a program packet with 13; a running
    // program takes the same bytes as commands it does not know and has nothing to say.
    const bool answered = RunStep([&] {
        SendCommand(ctx, 0, 0, 2);
        SendProgramLength(ctx, 1);
        SendPacket(ctx, QStringLiteral("000000"));
    }) == 0;
    // A byte of the check that went astray (a length read wrong, say) must not leave the
    // loader waiting for more: the pulse starts it afresh.
    PulseControlLines(ctx);
    return answered;
}

bool ProgramAnswers(EvalContext& ctx)
{
    // Only the running program answers a block command: it converts, signals ready and
    // sends the block. The loader ignores the command.
    const std::int32_t p = (std::int32_t(ctx.SampleClock.TPeriodHigh()) * 256 + ctx.SampleClock.TPeriodLow()) & 0xFFFF;
    return RunStep([&] {
        SendCommand(ctx, 0, p | 3, 7);
        // The sample timer counts p + 1 crystal periods per sample.
        const auto deadline = std::chrono::steady_clock::now()
            + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                std::chrono::duration<double>(kProbeSamples * ((p | 3) + 1) / kCrystalHz + kReadyMarginS));
        while (!WaitLineLow(ctx))
            if (std::chrono::steady_clock::now() > deadline)
                throw EvalError(LinkError::WaitForReadyTimeout, QStringLiteral("WaitForReady "),
                                QStringLiteral("Error"));
        ReadyStrobe(ctx);
        for (int i = 0; i < kProbeSamples; ++i)
            ReadValue(ctx);
    }) == 0;
}

void Resynchronise(EvalContext& ctx)
{
    // A loader, or a board that took command 8 but missed the pulse, resets at once.
    PulseControlLines(ctx);
    // Whatever the board still owes the PC is taken: a converted block (after its ready
    // strobe), the rest of an upload, a packet answer.
    if (WaitLineLow(ctx))
        ReadyStrobe(ctx);
    for (int i = 0; i <= kMostPendingBytes; ++i)
        if (RunStep([&] { EPPRead(ctx, ctx.PortBaseAddress); }) != 0)
            break;
    // A program holding part of a command frame: reset codes complete it as command 8,
    // after which the board takes no more bytes until the pulse.
    int taken = 0;
    while (taken < 4 && RunStep([&] { EPPWrite(ctx, ctx.PortBaseAddress, kResetCode); }) == 0)
        ++taken;
    if (taken > 0)
        ResetPause(ctx);
    PulseControlLines(ctx);
}
