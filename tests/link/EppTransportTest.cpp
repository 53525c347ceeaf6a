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
    SendCommand(rig.ctx, 0, 0, 2);
    SendProgramLength(rig.ctx, 1);
    for (int b : {0x12, 0x34, 0x56, 0x9C})
        EPPWrite(rig.ctx, BoardRig::kBase, std::int16_t(b));
    ASSERT_EQ(rig.board.State(), FirmwareState::LoaderAnswer);
}

} // namespace

TEST(EppTransport, WritePollLimitIsSharedByBothPhases)
{
    struct Case { int ack, release; int error; };
    const Case cases[] = {
        {1, 1, 0},
        {1000, 1, 0},       // acknowledge on the 1000th status read still completes
        {1001, 1, 515},     // on the 1001st it is one read too late
        {900, 101, 0},      // 900 + 100 reads still showing the acknowledge, then the release
        {900, 102, 516},
        {1, 1000, 0},
        {1, 1001, 516},
    };
    for (const Case& c : cases) {
        BoardRig rig;
        rig.board.Faults().ackOnStatusRead = c.ack;
        rig.board.Faults().releaseOnStatusRead = c.release;
        const auto error = Raised([&] { EPPWrite(rig.ctx, BoardRig::kBase, 0x5A); });
        EXPECT_EQ(error ? error->Number : 0, c.error) << c.ack << "/" << c.release;
        if (error) {
            EXPECT_EQ(error->Source, "EPP Write");
            EXPECT_EQ(error->Description, "EPP Write Timeout");
            EXPECT_EQ(rig.ports.Accesses().in - 2, 1001u) << "status reads";   // plus the control read and one at rig set-up
        }
    }
}

TEST(EppTransport, ReadPollLimitIsSharedByBothPhases)
{
    struct Case { int ack, release; int error; };
    const Case cases[] = {
        {1000, 1, 0}, {1001, 1, 513}, {900, 101, 0}, {900, 102, 514},
    };
    for (const Case& c : cases) {
        BoardRig rig;
        LoaderWithAnswer(rig);
        rig.board.Faults().ackOnStatusRead = c.ack;
        rig.board.Faults().releaseOnStatusRead = c.release;
        std::int16_t value = -1;
        const auto error = Raised([&] { value = EPPRead(rig.ctx, BoardRig::kBase); });
        EXPECT_EQ(error ? error->Number : 0, c.error) << c.ack << "/" << c.release;
        if (error) {
            EXPECT_EQ(error->Source, "EPP Read");
            EXPECT_EQ(error->Description, "EPP Read Timeout");
        } else {
            EXPECT_EQ(value, 13);
        }
    }
}

TEST(EppTransport, AFailedTransferLeavesTheIdleControlValue)
{
    for (int control : {0x24, 0xFF, 0x00, 0xDB}) {
        BoardRig rig;
        WritePortByte(rig.ctx, BoardRig::kControl, std::int16_t(control));
        rig.board.Faults().neverAcknowledge = true;
        EXPECT_EQ(Raised([&] { EPPWrite(rig.ctx, BoardRig::kBase, 1); })->Number, 515);
        EXPECT_EQ(rig.Control(), control & 0xD4);
        EXPECT_EQ(Raised([&] { EPPRead(rig.ctx, BoardRig::kBase); })->Number, 513);
        EXPECT_EQ(rig.Control(), (control & 0xD4) | 0x20);
        EXPECT_EQ(rig.Control() & 0x0B, 0);
    }
}

TEST(EppTransport, WriteSendsTheByteThreeTimesThenStrobes)
{
    BoardRig rig;
    EPPWrite(rig.ctx, BoardRig::kBase, 0xA7);
    EXPECT_EQ(rig.board.Trace().BytesWritten(), Bytes({0xA7}));
    EXPECT_EQ(rig.ports.Accesses().out, 1u + 6u);   // rig set-up + c, 3 data, strobe, c
    EXPECT_EQ(rig.ports.Accesses().in, 1u + 3u);    // rig set-up + control, 2 status
    EXPECT_EQ(rig.Control(), 0x04);                 // bit 5 cleared by the write
}

TEST(EppTransport, ReadLeavesTheDirectionBitSetUntilTheNextWrite)
{
    BoardRig rig;
    LoaderWithAnswer(rig);
    EXPECT_EQ(EPPRead(rig.ctx, BoardRig::kBase), 13);
    EXPECT_EQ(rig.Control(), 0x24);
    EPPWrite(rig.ctx, BoardRig::kBase, 0);
    EXPECT_EQ(rig.Control(), 0x04);
}

TEST(EppTransport, NoBoardAndBoardSwitchedOffFailFast)
{
    for (bool cabled : {false, true}) {
        BoardRig rig;
        rig.ports.SetBoardCabled(cabled);
        rig.board.SetPowered(false);
        // The status lines never change: the wait line reads low, so the acknowledge seems
        // to come at once and the release never does.
        EXPECT_EQ(Raised([&] { EPPWrite(rig.ctx, BoardRig::kBase, 1); })->Number, 516);
        EXPECT_EQ(Raised([&] { EPPRead(rig.ctx, BoardRig::kBase); })->Number, 514);
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

TEST(EppTransport, WaitForReadyFailsWhenTheTickComesWhileBusy)
{
    BoardRig rig;
    rig.Boot();
    rig.board.Faults().neverReady = true;
    rig.events.onPass = [&](long pass) { if (pass == 25) rig.ctx.TimeOutFlag = true; };
    SendCommand(rig.ctx, 0, 0x18F, 7);
    rig.ports.ResetAccessCounts();
    const auto error = Raised([&] { WaitForReady(rig.ctx); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Number, 537);
    EXPECT_EQ(error->Source, "WaitForReady ");
    EXPECT_EQ(error->Description, "Error");
    EXPECT_EQ(rig.events.passes, 25) << "one event pass per status poll";
    EXPECT_EQ(rig.ports.Accesses().in, 1u + 25u);
}

TEST(EppTransport, WaitForReadyFailsWhenTheTickComesInTheReadyPhase)
{
    // A board switched off shows a low wait line for ever: the busy phase ends at once
    // and the ready phase waits for the watchdog.
    BoardRig rig;
    rig.board.SetPowered(false);
    rig.events.onPass = [&](long pass) { if (pass == 7) rig.ctx.TimeOutFlag = true; };
    EXPECT_EQ(Raised([&] { WaitForReady(rig.ctx); })->Number, 537);
    EXPECT_EQ(rig.events.passes, 7);
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
    EXPECT_EQ(Raised([&] { WaitForReady(rig.ctx); })->Number, 537);
    EXPECT_GE(clock.elapsed(), 35);
    EXPECT_TRUE(rig.ctx.TimeOutFlag);
}
