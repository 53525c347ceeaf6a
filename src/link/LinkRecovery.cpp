#include "link/CommsFunctions.h"

#include "core/BoardCommandCode.h"
#include "core/EvalError.h"
#include "link/PortAccess.h"

#include <chrono>

// Finding out where the board's program is, using only what the board answers, and
// getting a healthy board back into step after a transfer went wrong.

namespace {

constexpr std::int16_t kWaitLine = 0x80;
constexpr std::int16_t kDataStrobe = 0x02;
constexpr int kProbeSamples = 256;
constexpr double kCrystalHz = 40e6;   // the board's own sample-clock crystal
// Time the board is given beyond the block's own conversion time to signal ready.
constexpr double kReadyMarginS = 0.05;
// Every byte a board can still owe the PC: the largest block, or a packet answer.
constexpr int kMostPendingBytes = 2 * 32768;

bool WaitLineLow(BoardLink& link)
{
    return !(ReadPortByte(link, std::int16_t(link.PortBaseAddress + 1)) & kWaitLine);
}

void ReadyStrobe(BoardLink& link)
{
    const auto control = std::int16_t(link.PortBaseAddress + 2);
    const auto c = std::int16_t(ReadPortByte(link, control) & 0xD4);
    WritePortByte(link, control, c);
    WritePortByte(link, control, std::int16_t(c | kDataStrobe));
    WritePortByte(link, control, c);
}

void ResetPause(BoardLink& link)
{
    for (int i = 0; i < LinkLimits::kResetPauseEvents; ++i)
        link.Yield();
}

} // namespace

bool LoaderAnswers(BoardLink& link)
{
    // Only the loader takes a download and answers a program packet with 13; a running
    // program takes the same bytes as commands it does not know and has nothing to say.
    const bool answered = RunStep([&] {
        SendCommand(link, 0, 0, BoardCommandCode::Download);
        SendProgramLength(link, 1);
        SendPacket(link, QStringLiteral("000000"));
    }) == 0;
    // A byte of the check that went astray (a length read wrong, say) must not leave the
    // loader waiting for more: the pulse starts it afresh.
    PulseControlLines(link);
    return answered;
}

bool ProgramAnswers(BoardLink& link, std::int32_t periodWord)
{
    // Only the running program answers a block command: it converts, signals ready and
    // sends the block. The loader ignores the command.
    return RunStep([&] {
        SendCommand(link, 0, periodWord, BoardCommandCode::Block);
        const auto deadline = std::chrono::steady_clock::now()
            + ConversionTime(kProbeSamples, periodWord, kCrystalHz)
            + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                std::chrono::duration<double>(kReadyMarginS));
        while (!WaitLineLow(link))
            if (std::chrono::steady_clock::now() > deadline)
                throw EvalError(LinkError::WaitForReadyTimeout, QStringLiteral("WaitForReady "),
                                QStringLiteral("Error"));
        ReadyStrobe(link);
        for (int i = 0; i < kProbeSamples; ++i)
            ReadValue(link);
    }) == 0;
}

void Resynchronise(BoardLink& link)
{
    // A loader, or a board that took command 8 but missed the pulse, resets at once.
    PulseControlLines(link);
    // Whatever the board still owes the PC is taken: a converted block (after its ready
    // strobe), the rest of an upload, a packet answer.
    if (WaitLineLow(link))
        ReadyStrobe(link);
    for (int i = 0; i <= kMostPendingBytes; ++i)
        if (RunStep([&] { EPPRead(link, link.PortBaseAddress); }) != 0)
            break;
    // A program holding part of a command frame: reset codes complete it as command 8,
    // after which the board takes no more bytes until the pulse.
    int taken = 0;
    while (taken < 4 && RunStep([&] { EPPWrite(link, link.PortBaseAddress, BoardCommandCode::Reset); }) == 0)
        ++taken;
    if (taken > 0)
        ResetPause(link);
    PulseControlLines(link);
}
