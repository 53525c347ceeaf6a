#include "link/BoardRig.h"

#include <algorithm>

#include <gtest/gtest.h>

// The board's loader and acquisition program, driven through the link: which commands
// each state obeys, what the latch and power commands do to the codes, and the reset.

TEST(Firmware, TheLoaderIgnoresAcquisitionCommandsAndThePcTimesOut)
{
    BoardRig rig;
    rig.events.onPass = [&](long pass) { if (pass == 10) rig.ctx.TimeOutFlag = true; };
    EXPECT_EQ(Raised([&] { rig.Read(); }), "517|ReadData|Timeout");
    const auto frames = rig.board.Trace().Frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].state, FirmwareState::LoaderCommand);
    EXPECT_FALSE(frames[0].obeyed);

    SendCommand(rig.ctx, 0, 0, 4);   // start without a program
    SendCommand(rig.ctx, 0, 0, 22);
    EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
    EXPECT_FALSE(rig.board.Trace().Frames().back().obeyed);
}

TEST(Firmware, TheRunningProgramObeysItsCommandsAndIgnoresUnknownOnes)
{
    BoardRig rig;
    rig.Boot();
    for (auto [first, code] : {std::pair{0, 20}, std::pair{0, 22}, std::pair{0x6C, 3}, std::pair{0, 7}}) {
        SendCommand(rig.ctx, std::int16_t(first), 0x18F, std::int16_t(code));
        if (code == 7) {
            WaitForReady(rig.ctx);
            for (int i = 0; i < 256; ++i)
                ReadValue(rig.ctx);
        }
    }
    SendCommand(rig.ctx, 0, 0, 2);       // unknown to the running program
    SendCommand(rig.ctx, 9, 0x18F, 7);   // no block length above 256 x 2^7
    std::vector<bool> obeyed;
    for (const auto& f : rig.board.Trace().Frames())
        obeyed.push_back(f.obeyed);
    EXPECT_EQ(obeyed, (std::vector<bool>{true, true, true, true, false, false}));
    EXPECT_EQ(rig.board.State(), FirmwareState::RunningCommand);
}

TEST(Firmware, PowerDownAndTheLatchGiveConstantCodes)
{
    struct Case { std::int16_t latch; bool powerDown; int format; double code; };
    const Case cases[] = {
        {0x6C, true, 0, 0},        // part powered down: outputs low
        {0x6C, true, 1, 0},        // ... which is mid-scale in two's complement
        {0x68, false, 0, 4095},    // bus switches open: the bus floats high
        {0x68, false, 1, -1},
        {0x64, false, 0, 0},       // AVDD off
        {0x90, false, 0, 4095},    // the start-up latch: everything off
    };
    for (const Case& c : cases) {
        BoardRig rig;
        rig.Boot(c.latch);
        rig.ctx.CurrentSettings.DataFormat = std::int16_t(c.format);
        if (c.powerDown)
            SendCommand(rig.ctx, 0, 0, 20);
        rig.Read();
        EXPECT_EQ(rig.ctx.SampleCodes, std::vector<double>(256, c.code)) << c.latch << " " << c.powerDown;
    }

    // Power-up and a latch load bring the signal back.
    BoardRig rig;
    rig.Boot(0x68);
    SendCommand(rig.ctx, 0, 0, 20);
    SendCommand(rig.ctx, 0, 0, 22);
    SendCommand(rig.ctx, 0x6C, 0, 3);
    rig.Read();
    const auto [lo, hi] = std::minmax_element(rig.ctx.SampleCodes.begin(), rig.ctx.SampleCodes.end());
    EXPECT_GT(*hi - *lo, 1000);
}

TEST(Firmware, ResetNeedsCommand8AndThePulseOrTheButtonOrPower)
{
    BoardRig rig;
    rig.Boot();
    PulseControlLines(rig.ctx);
    EXPECT_EQ(rig.board.State(), FirmwareState::RunningCommand) << "the program ignores a lone pulse";
    EXPECT_EQ(rig.board.Trace().Records().back(), (BusRecord{BusEvent::ResetPulse, 0}));

    SendCommand(rig.ctx, 0, 0, 8);
    EXPECT_EQ(rig.board.State(), FirmwareState::ResetPending);
    EXPECT_EQ(RaisedNumber([&] { SendCommand(rig.ctx, 0, 0, 22); }), 504)
        << "nothing is taken while the board waits for the pulse";
    PulseControlLines(rig.ctx);
    EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
    EXPECT_EQ(rig.board.LatchValue(), BoardRig::kKv2680Latch) << "a reset keeps the latch";
    EXPECT_FALSE(rig.board.Firmware().ProgramLoaded());

    BoardRig button;
    button.Boot();
    button.board.PressResetButton();
    EXPECT_EQ(button.board.State(), FirmwareState::LoaderCommand);
    EXPECT_EQ(button.board.LatchValue(), BoardRig::kKv2680Latch);
    button.board.SetPowered(false);
    EXPECT_EQ(button.board.State(), FirmwareState::Off);
    button.board.SetPowered(true);
    EXPECT_EQ(button.board.State(), FirmwareState::LoaderCommand);
    EXPECT_EQ(button.board.LatchValue(), 0);
}

TEST(Firmware, TheLoaderChecksEachPacketAndWaitsForTheSameWordAgain)
{
    BoardRig rig;
    rig.StartDownload(2);
    for (int b : {0x01, 0x02, 0x03, 0x07})   // checksum should be 6
        EPPWrite(rig.ctx, BoardRig::kBase, std::int16_t(b));
    EXPECT_EQ(EPPRead(rig.ctx, BoardRig::kBase), 0x15);
    EXPECT_TRUE(rig.board.Firmware().ProgramWords().empty());
    SendPacket(rig.ctx, "010203");
    SendPacket(rig.ctx, "0A0B0C");
    EXPECT_EQ(rig.board.Firmware().ProgramWords(), (std::vector<std::uint32_t>{0x010203, 0x0A0B0C}));
    EXPECT_TRUE(rig.board.Firmware().ProgramLoaded());
    EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
}
