#include "link/BoardRig.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

// The byte transport against the simulated board: poll limits, the shared count of the
// two phases, the control register after a failure, and the ready wait under Timer1.

namespace {

// Puts the board's loader in the state where it holds one answer byte (13) for a read.
void LoaderWithAnswer(BoardRig& rig)
{
    rig.StartDownload();
    for (int b : {0x12, 0x34, 0x56, 0x9C})
        EPPWrite(rig.ctx, BoardRig::kBase, std::int16_t(b));
    ASSERT_EQ(rig.board.State(), FirmwareState::LoaderAnswer);
}

} // namespace

TEST(EppTransport, PollLimitIsSharedByBothPhases)
{
    // Acknowledge / release on the n-th status read; the write comes first, then the read.
    struct Case { bool read; int ack, release; const char* error; };
    const Case cases[] = {
        {false, 1, 1, "none"},
        {false, 1000, 1, "none"},       // acknowledge on the 1000th status read still completes
        {false, 1001, 1, "515|EPP Write|EPP Write Timeout"},   // on the 1001st it is one too late
        {false, 900, 101, "none"},      // 900 + 100 reads still showing the acknowledge, then the release
        {false, 900, 102, "516|EPP Write|EPP Write Timeout"},
        {false, 1, 1000, "none"},
        {false, 1, 1001, "516|EPP Write|EPP Write Timeout"},
        {true, 1000, 1, "none"},
        {true, 1001, 1, "513|EPP Read|EPP Read Timeout"},
        {true, 900, 101, "none"},
        {true, 900, 102, "514|EPP Read|EPP Read Timeout"},
    };
    for (const Case& c : cases) {
        BoardRig rig;
        if (c.read)
            LoaderWithAnswer(rig);
        rig.ports.ResetAccessCounts();
        rig.board.Faults().ackOnStatusRead = c.ack;
        rig.board.Faults().releaseOnStatusRead = c.release;
        std::int16_t value = -1;
        EXPECT_EQ(Raised([&] { value = c.read ? EPPRead(rig.ctx, BoardRig::kBase)
                                             : (EPPWrite(rig.ctx, BoardRig::kBase, 0x5A), 0); }),
                  c.error) << c.read << " " << c.ack << "/" << c.release;
        const bool failed = c.error != std::string("none");
        if (failed && !c.read)
            EXPECT_EQ(rig.ports.Accesses().in, 1u + 1001u) << "the control read and the status reads";
        if (!failed && c.read)
            EXPECT_EQ(value, 13);
    }
}

TEST(EppTransport, AFailedTransferLeavesTheIdleControlValue)
{
    for (int control : {0x24, 0xFF, 0x00, 0xDB}) {
        BoardRig rig;
        WritePortByte(rig.ctx, BoardRig::kControl, std::int16_t(control));
        rig.board.Faults().neverAcknowledge = true;
        EXPECT_EQ(RaisedNumber([&] { EPPWrite(rig.ctx, BoardRig::kBase, 1); }), 515);
        EXPECT_EQ(rig.Control(), control & 0xD4);   // bits 0, 1 and 3 clear, 5 cleared by the write
        EXPECT_EQ(RaisedNumber([&] { EPPRead(rig.ctx, BoardRig::kBase); }), 513);
        EXPECT_EQ(rig.Control(), (control & 0xD4) | 0x20);
    }
}

TEST(EppTransport, WriteAndReadRegisterTraffic)
{
    BoardRig rig;
    rig.ports.ResetAccessCounts();
    EPPWrite(rig.ctx, BoardRig::kBase, 0xA7);
    EXPECT_EQ(rig.board.Trace().BytesWritten(), Bytes{0xA7});
    EXPECT_EQ(rig.ports.Accesses().out, 6u);   // c, 3 data, strobe, c
    EXPECT_EQ(rig.ports.Accesses().in, 3u);    // control, 2 status
    EXPECT_EQ(rig.Control(), 0x04);            // bit 5 cleared by the write

    // A read leaves the direction bit set until the next write.
    BoardRig loader;
    LoaderWithAnswer(loader);
    EXPECT_EQ(EPPRead(loader.ctx, BoardRig::kBase), 13);
    EXPECT_EQ(loader.Control(), 0x24);
    EPPWrite(loader.ctx, BoardRig::kBase, 0);
    EXPECT_EQ(loader.Control(), 0x04);
}

TEST(EppTransport, NoBoardAndBoardSwitchedOffFailFast)
{
    for (bool cabled : {false, true}) {
        BoardRig rig;
        rig.ports.SetBoardCabled(cabled);
        rig.board.SetPowered(false);
        // The status lines never change: the wait line reads low, so the acknowledge seems
        // to come at once and the release never does.
        EXPECT_EQ(RaisedNumber([&] { EPPWrite(rig.ctx, BoardRig::kBase, 1); }), 516);
        EXPECT_EQ(RaisedNumber([&] { EPPRead(rig.ctx, BoardRig::kBase); }), 514);
    }
}

TEST(EppTransport, WaitForReadyStartsTimer1OnlyWhenItIsDisabled)
{
    BoardRig rig;
    rig.Boot();
    rig.timer1.setInterval(4321);
    SendCommand(rig.ctx, 0, 0x18F, 7);
    EXPECT_EQ(WaitForReady(rig.ctx), 0);
    EXPECT_TRUE(rig.timer1.isActive());
    EXPECT_EQ(rig.timer1.interval(), 4321);

    rig.timer1.setInterval(5000);
    rig.timer1.start();
    const int id = rig.timer1.timerId();
    for (int i = 0; i < 256; ++i)   // upload the block
        ReadValue(rig.ctx);
    SendCommand(rig.ctx, 0, 0x18F, 7);
    EXPECT_EQ(WaitForReady(rig.ctx), 0);
    EXPECT_TRUE(rig.timer1.isActive());
    EXPECT_EQ(rig.timer1.interval(), 5000);
    EXPECT_EQ(rig.timer1.timerId(), id) << "not restarted";
    EXPECT_EQ(rig.board.State(), FirmwareState::Uploading);
}

TEST(EppTransport, WaitForReadyFailsWhenTheTickComes)
{
    // Busy phase: the board never gets ready; one event pass per status poll.
    BoardRig rig;
    rig.Boot();
    rig.board.Faults().neverReady = true;
    rig.events.onPass = [&](long pass) { if (pass == 25) rig.ctx.TimeOutFlag = true; };
    SendCommand(rig.ctx, 0, 0x18F, 7);
    rig.ports.ResetAccessCounts();
    EXPECT_EQ(Raised([&] { WaitForReady(rig.ctx); }), "537|WaitForReady |Error");
    EXPECT_EQ(rig.events.passes, 25);
    EXPECT_EQ(rig.ports.Accesses().in, 1u + 25u);

    // Ready phase: a board switched off shows a low wait line for ever, so the busy phase
    // ends at once and the ready phase waits for the watchdog.
    BoardRig off;
    off.board.SetPowered(false);
    off.events.onPass = [&](long pass) { if (pass == 7) off.ctx.TimeOutFlag = true; };
    EXPECT_EQ(RaisedNumber([&] { WaitForReady(off.ctx); }), 537);
    EXPECT_EQ(off.events.passes, 7);
}

// The real wiring: Timer1's tick, delivered by processing window events, ends the wait.
TEST(EppTransport, WaitForReadyEndsOnARealTimer1Tick)
{
    struct QtPump : EventPump {
        void ProcessEvents() override { QCoreApplication::processEvents(); }
    } pump;
    BoardRig rig;
    rig.ctx.Events = &pump;
    rig.Boot();
    rig.board.Faults().neverReady = true;
    SendCommand(rig.ctx, 0, 0x18F, 7);
    rig.timer1.setInterval(40);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(RaisedNumber([&] { WaitForReady(rig.ctx); }), 537);
    EXPECT_GE(clock.elapsed(), 35);
    EXPECT_TRUE(rig.ctx.TimeOutFlag);
}
