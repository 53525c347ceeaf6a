#include "link/BoardRig.h"

#include <algorithm>

#include <gtest/gtest.h>

// The board's loader and acquisition program, driven through the link: which commands
// each state obeys, what the latch and power commands do to the codes, and the reset.

namespace {

bool AllEqual(const std::vector<double>& v, double value)
{
    return std::all_of(v.begin(), v.end(), [&](double x) { return x == value; });
}

} // namespace

TEST(Firmware, TheLoaderIgnoresAcquisitionCommandsAndThePcTimesOut)
{
    BoardRig rig;
    rig.events.onPass = [&](long pass) { if (pass == 10) rig.ctx.TimeOutFlag = true; };
    const auto error = Raised([&] { ReadData(rig.ctx, 256, rig.ctx.SampleCodes); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Description, "Timeout");
    const auto frames = rig.board.Trace().Frames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].state, FirmwareState::LoaderCommand);
    EXPECT_FALSE(frames[0].obeyed);

    SendCommand(rig.ctx, 0, 0, 4);   // start without a program
    SendCommand(rig.ctx, 0, 0, 22);
    EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
    EXPECT_FALSE(rig.board.Trace().Frames().back().obeyed);
}

TEST(Firmware, TheRunningProgramObeysItsCommands)
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
    SendCommand(rig.ctx, 0, 0, 2);    // unknown to the running program
    SendCommand(rig.ctx, 9, 0x18F, 7);   // no block length above 256 x 2^7
    const auto frames = rig.board.Trace().Frames();
    ASSERT_EQ(frames.size(), 6u);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(frames[i].obeyed) << i;
    EXPECT_FALSE(frames[4].obeyed);
    EXPECT_FALSE(frames[5].obeyed);
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
        ReadData(rig.ctx, 256, rig.ctx.SampleCodes);
        EXPECT_TRUE(AllEqual(rig.ctx.SampleCodes, c.code)) << c.latch << " " << c.powerDown;
    }
}

TEST(Firmware, PowerUpAndALatchLoadBringTheSignalBack)
{
    BoardRig rig;
    rig.Boot(0x68);
    SendCommand(rig.ctx, 0, 0, 20);
    SendCommand(rig.ctx, 0, 0, 22);
    SendCommand(rig.ctx, 0x6C, 0, 3);
    ReadData(rig.ctx, 256, rig.ctx.SampleCodes);
    const auto [lo, hi] = std::minmax_element(rig.ctx.SampleCodes.begin(), rig.ctx.SampleCodes.end());
    EXPECT_GT(*hi - *lo, 1000);
}

TEST(Firmware, ResetNeedsCommand8AndThePulse)
{
    BoardRig rig;
    rig.Boot();
    PulseControlLines(rig.ctx);
    EXPECT_EQ(rig.board.State(), FirmwareState::RunningCommand) << "the program ignores a lone pulse";
    EXPECT_EQ(rig.board.Trace().Records().back(), (BusRecord{BusEvent::ResetPulse, 0}));

    SendCommand(rig.ctx, 0, 0, 8);
    EXPECT_EQ(rig.board.State(), FirmwareState::ResetPending);
    const auto error = Raised([&] { SendCommand(rig.ctx, 0, 0, 22); });
    ASSERT_TRUE(error) << "nothing is taken while the board waits for the pulse";
    EXPECT_EQ(error->Number, 504);
    PulseControlLines(rig.ctx);
    EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
    EXPECT_EQ(rig.board.LatchValue(), BoardRig::kKv2680Latch) << "a reset keeps the latch";
    EXPECT_FALSE(rig.board.Firmware().ProgramLoaded());
}

TEST(Firmware, PowerCycleAndResetButton)
{
    BoardRig rig;
    rig.Boot();
    rig.board.PressResetButton();
    EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
    EXPECT_EQ(rig.board.LatchValue(), BoardRig::kKv2680Latch);
    rig.board.SetPowered(false);
    EXPECT_EQ(rig.board.State(), FirmwareState::Off);
    rig.board.SetPowered(true);
    EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
    EXPECT_EQ(rig.board.LatchValue(), 0);
}

TEST(Firmware, TheLoaderChecksEachPacketAndWaitsForTheSameWordAgain)
{
    BoardRig rig;
    SendCommand(rig.ctx, 0, 0, 2);
    SendProgramLength(rig.ctx, 2);
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

TEST(Firmware, ABlockCommandIsFoundInTheFrames)
{
    BoardRig rig;
    rig.Boot();
    rig.ctx.CurrentSettings.NumberOfSamples = 2;
    rig.ctx.SampleClock.SetSampleFrequency(500000);
    ReadData(rig.ctx, 1024, rig.ctx.SampleCodes);
    const auto blocks = rig.board.Trace().FramesWithCode(7);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0].first, 2);
    EXPECT_EQ(blocks[0].Word(), 79);
    EXPECT_EQ(rig.board.Firmware().BlockLength(), 1024);
    EXPECT_DOUBLE_EQ(rig.board.Firmware().SampleRate(), 500000.0);
}
