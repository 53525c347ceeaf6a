#pragma once

#include "board/SimulatedPorts.h"
#include "core/EvalError.h"
#include "engine/BoardSession.h"
#include "link/CommsFunctions.h"
#include "link/PortAccess.h"
#include "support/FakePort.h"   // the fakes, and PrintTo for QString and message boxes

#include <gtest/gtest.h>
#include <limits>

// Thrown when a run uses more register accesses than its budget: the link would spin for ever.
struct Hang {};

class BudgetPorts : public SimulatedPorts {
public:
    std::int32_t InByte(std::int32_t address) override
    {
        if (Accesses().Total() > budget)
            throw Hang{};
        return SimulatedPorts::InByte(address);
    }
    std::uint64_t budget = std::numeric_limits<std::uint64_t>::max();
};

// The application object wired to the simulated board on simulated port 1, with
// recording fakes for the user and the front end, and a counting waiter. The board runs
// in instant mode.
struct BoardRig {
    static constexpr std::int16_t kBase = 888;
    static constexpr std::int16_t kControl = kBase + 2;
    static constexpr std::int16_t kKv2680Latch = 0x6C;   // +/-15V, DVDD 5V on, AVDD 5V on, bus on

    BoardRig()
    {
        link.Port = &ports;
        link.PortBaseAddress = kBase;
        link.Wait = &events;
        link.Echo = &status1;
        ctx.Messages = &messages;
        ctx.Status1 = &status1;
        ctx.Status2 = &status2;
        ctx.Listener = &listener;
        ctx.CurrentSettings.SampleFreq = 100000;
        ctx.CurrentSettings.NumberOfBits = 12;
        ctx.SampleClock.SetCrystalFrequency(40000000);
        ctx.SampleClock.SetSampleFrequency(100000);
        ctx.BoardLatch.SetValue(kKv2680Latch);
        // The idle control register the link start-up leaves: strobes clear, lines released.
        WritePortByte(link, kControl, std::int16_t((Control() & 0xD4) | 0x20));
    }
    BoardRig(const BoardRig&) = delete;

    // Puts the loader where it takes program packets: command 2 and a program length.
    void StartDownload(std::int16_t words = 1)
    {
        SendCommand(link, 0, 0, 2);
        SendProgramLength(link, words);
    }
    // Downloads a one-word program, loads the latch and starts it, as the setup dialog's
    // Load does; then forgets the traffic.
    void Boot(std::int16_t latch = kKv2680Latch)
    {
        StartDownload();
        SendPacket(link, QStringLiteral("000000"));
        SendCommand(link, latch, 0, 3);
        SendCommand(link, 0, 0, 4);
        board.Trace().Clear();
        ports.ResetAccessCounts();
    }
    // One acquisition of n samples into the sample buffer, at the rig's settings.
    void Read(int n = 256) { ReadData(link, ctx.CurrentBlockRequest(), n, ctx.SampleCodes); }
    void Read(int n, std::vector<double>& samples) { ReadData(link, ctx.CurrentBlockRequest(), n, samples); }
    // The program download of CurrentSettings.EXEName with the rig's latch and clock.
    std::int16_t Load() { return LoadProgram(link, ctx.CurrentSettings.EXEName, ctx.BoardLatch.Value(), ctx.CurrentPeriodWord()); }
    std::int16_t Control() { return ReadPortByte(link, kControl); }
    // The 12-bit codes of the board's last block, as ReadData stores them in straight binary.
    std::vector<double> BlockCodes(int n) const
    {
        const std::uint16_t* v = board.Firmware().BlockValues();
        std::vector<double> out;
        for (int i = 0; i < n; ++i)
            out.push_back(v[i] & 0xFFF);
        return out;
    }

    BudgetPorts ports;
    EvalBoard& board = ports.Board();
    EvalContext ctx;
    BoardLink& link = ctx.Link;
    BoardSession session{ctx};
    ScriptedMessenger messages;
    RecordingStatus status1;
    RecordingStatus status2;
    RecordingListener listener;
    CountingEventPump events;
};

// The EvalError a call raised as "number|source|description", or "none".
template <typename F>
std::string Raised(F&& f)
{
    try {
        f();
    } catch (const EvalError& e) {
        return QStringLiteral("%1|%2|%3").arg(e.Number).arg(e.Source, e.Description).toStdString();
    }
    return "none";
}

using Bytes = std::vector<std::uint8_t>;

// The codes of the blocks a freshly booted board gives one after the other, read without a
// thread: what a run on the same board must hand over.
inline std::vector<std::vector<double>> SuccessiveBlocks(std::size_t count)
{
    BoardRig rig;
    rig.Boot();
    std::vector<std::vector<double>> out(count);
    for (auto& codes : out)
        EXPECT_EQ(rig.session.ReadBlock(codes), 0);
    return out;
}
