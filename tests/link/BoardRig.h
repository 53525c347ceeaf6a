#pragma once

#include "board/SimulatedPorts.h"
#include "core/EvalError.h"
#include "link/CommsFunctions.h"
#include "link/EvalContext.h"
#include "link/PortAccess.h"
#include "support/FakePort.h"   // PrintTo for QString and message boxes
#include "support/FakeUi.h"

#include <QTimer>
#include <optional>

// The application object wired to the simulated board on simulated port 1, with
// recording fakes for the user and the main window, and a watchdog timer connected as
// the main window connects Timer1. The board runs in instant mode.
struct BoardRig {
    static constexpr std::int16_t kBase = 888;
    static constexpr std::int16_t kControl = kBase + 2;
    static constexpr std::int16_t kKv2680Latch = 0x6C;   // +/-15V, DVDD 5V on, AVDD 5V on, bus on

    BoardRig()
    {
        ctx.Port = &ports;
        ctx.PortBaseAddress = kBase;
        ctx.Messages = &messages;
        ctx.Status1 = &status1;
        ctx.Status2 = &status2;
        ctx.Ui = &ui;
        ctx.Events = &events;
        ctx.Timer1 = &timer1;
        QObject::connect(&timer1, &QTimer::timeout, [this] { ctx.TimeOutFlag = true; });

        Settings& s = ctx.CurrentSettings;
        s.SampleFreq = 100000;
        s.NumberOfSamples = 0;
        s.NumberOfBits = 12;
        s.DataFormat = 0;
        ctx.SampleClock.SetCrystalFrequency(40000000);
        ctx.SampleClock.SetSampleFrequency(s.SampleFreq);
        ctx.BoardLatch.SetValue(kKv2680Latch);
        // The idle control register the link start-up leaves: strobes clear, lines released.
        WritePortByte(ctx, kControl, std::int16_t((ReadPortByte(ctx, kControl) & 0xD4) | 0x20));
    }
    BoardRig(const BoardRig&) = delete;

    // Puts the loader where it takes program packets: command 2 and a program length.
    void StartDownload(std::int16_t words = 1)
    {
        SendCommand(ctx, 0, 0, 2);
        SendProgramLength(ctx, words);
    }
    // Downloads a one-word program, loads the latch and starts it, as the setup dialog's
    // Load does; then forgets the traffic.
    void Boot(std::int16_t latch = kKv2680Latch)
    {
        StartDownload();
        SendPacket(ctx, QStringLiteral("000000"));
        SendCommand(ctx, latch, 0, 3);
        SendCommand(ctx, 0, 0, 4);
        board.Trace().Clear();
        ports.ResetAccessCounts();
    }
    // One acquisition of n samples into the sample buffer.
    void Read(int n = 256) { ReadData(ctx, n, ctx.SampleCodes); }

    std::int16_t Control() { return ReadPortByte(ctx, kControl); }

    // The codes of the board's last block as ReadData should store them.
    std::vector<double> ExpectedCodes(int n, int bits, bool twos) const
    {
        std::vector<double> out;
        const std::uint16_t* v = board.Firmware().BlockValues();
        for (int i = 0; i < n; ++i) {
            double code = v[i] & ((1 << bits) - 1);
            if (twos && code >= (1 << (bits - 1)))
                code -= 1 << bits;
            out.push_back(code);
        }
        return out;
    }

    SimulatedPorts ports;
    EvalBoard& board = ports.Board();
    EvalContext ctx;
    ScriptedMessenger messages;
    RecordingStatus status1;
    RecordingStatus status2;
    RecordingLinkUi ui;
    CountingEventPump events;
    QTimer timer1;
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

// The number of the EvalError a call raised, or 0.
template <typename F>
int RaisedNumber(F&& f)
{
    try {
        f();
    } catch (const EvalError& e) {
        return e.Number;
    }
    return 0;
}

using Bytes = std::vector<std::uint8_t>;
