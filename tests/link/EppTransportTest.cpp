#include "link/BoardRig.h"

#include <gtest/gtest.h>

// The byte transport against the simulated board: poll limits, the shared count of the
// two phases, the control register around a transfer, and the ready wait.

namespace {

// Puts the board's loader in the state where it holds one answer byte (13) for a read.
void LoaderWithAnswer(BoardRig& rig)
{
    rig.StartDownload();
    for (int b : {0x12, 0x34, 0x56, 0x9C})
        EPPWrite(rig.link, BoardRig::kBase, std::int16_t(b));
}

TEST(EppTransport, PollLimitIsSharedByBothPhases)
{
    // Acknowledge / release on the n-th status read; ack 0: the board is switched off, so
    // the wait line reads low for ever: the acknowledge seems to come at once, the release never.
    struct Case { bool read; int ack, release; const char* error; };
    const Case cases[] = {
        {false, 1000, 1, "none"}, {false, 1001, 1, "515|EPP Write|EPP Write Timeout"},
        {false, 900, 101, "none"}, {false, 900, 102, "516|EPP Write|EPP Write Timeout"},
        {false, 1, 1001, "516|EPP Write|EPP Write Timeout"}, {false, 0, 0, "516|EPP Write|EPP Write Timeout"},
        {true, 1000, 1, "none"}, {true, 1001, 1, "513|EPP Read|EPP Read Timeout"},
        {true, 900, 101, "none"}, {true, 900, 102, "514|EPP Read|EPP Read Timeout"},
        {true, 0, 0, "514|EPP Read|EPP Read Timeout"},
    };
    for (const Case& c : cases) {
        BoardRig rig;
        if (c.read)
            LoaderWithAnswer(rig);
        rig.ports.ResetAccessCounts();
        rig.board.Faults().ackOnStatusRead = c.ack;
        rig.board.Faults().releaseOnStatusRead = c.release;
        rig.board.SetPowered(c.ack != 0);
        std::int16_t value = -1;
        EXPECT_EQ(Raised([&] { value = c.read ? EPPRead(rig.link, BoardRig::kBase)
                                             : (EPPWrite(rig.link, BoardRig::kBase, 0x5A), 0); }),
                  c.error) << c.read << " " << c.ack << "/" << c.release;
        const bool failed = c.error != std::string("none");
        if (failed && !c.read) {
            EXPECT_EQ(rig.ports.Accesses().in, 1u + 1001u) << "the control read and the status reads";
        }
        if (!failed && c.read) {
            EXPECT_EQ(value, 13);
        }
    }
}

TEST(EppTransport, ControlRegisterAroundTransfers)
{
    // A read leaves the direction bit set until the next write.
    BoardRig loader;
    LoaderWithAnswer(loader);
    EXPECT_EQ(EPPRead(loader.link, BoardRig::kBase), 13);
    EXPECT_EQ(loader.Control(), 0x24);
    EPPWrite(loader.link, BoardRig::kBase, 0);
    EXPECT_EQ(loader.Control(), 0x04);

    // A failed transfer leaves the strobes idle: bits 0, 1 and 3 clear, bit 5 as the cycle set it.
    for (int control : {0x24, 0xFF, 0x00, 0xDB}) {
        BoardRig failing;
        WritePortByte(failing.link, BoardRig::kControl, std::int16_t(control));
        failing.board.Faults().neverAcknowledge = true;
        EXPECT_EQ(Raised([&] { EPPWrite(failing.link, BoardRig::kBase, 1); }), "515|EPP Write|EPP Write Timeout");
        EXPECT_EQ(failing.Control(), control & 0xD4);
        EXPECT_EQ(Raised([&] { EPPRead(failing.link, BoardRig::kBase); }), "513|EPP Read|EPP Read Timeout");
        EXPECT_EQ(failing.Control(), (control & 0xD4) | 0x20);
    }
}

TEST(EppTransport, WaitForReadyStartsTimer1OnlyWhenItIsDisabledAndFailsOnTheTick)
{
    BoardRig rig;
    rig.Boot();
    rig.link.Timer1.setInterval(4321);
    SendCommand(rig.link, 0, 0x18F, 7);
    EXPECT_EQ(WaitForReady(rig.link), 0);
    EXPECT_TRUE(rig.link.Timer1.isActive());
    EXPECT_EQ(rig.link.Timer1.interval(), 4321);
    for (int i = 0; i < 256; ++i)   // upload the block
        ReadValue(rig.link);
    SendCommand(rig.link, 0, 0x18F, 7);
    EXPECT_EQ(WaitForReady(rig.link), 0);

    // A board switched off shows a low wait line for ever, so the busy phase ends at once
    // and the ready phase waits for the watchdog.
    BoardRig off;
    off.board.SetPowered(false);
    off.events.onPass = [&](long pass) { if (pass == 7) off.link.Timer1.Trip(); };
    EXPECT_EQ(Raised([&] { WaitForReady(off.link); }), "537|WaitForReady |Error");
    EXPECT_EQ(off.events.passes, 7);
}

} // namespace
