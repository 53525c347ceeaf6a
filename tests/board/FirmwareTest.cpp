#include "link/BoardRig.h"

#include <gtest/gtest.h>

// The board's loader and acquisition program, driven through the link: which commands
// each state obeys, what the latch and power commands do to the codes, and the reset.

namespace {

std::vector<bool> Obeyed(EvalBoard& board)
{
    std::vector<bool> obeyed;
    for (const auto& f : board.Trace().Frames())
        obeyed.push_back(f.obeyed);
    return obeyed;
}

TEST(Firmware, EachStateObeysOnlyItsOwnCommands)
{
    // The loader ignores acquisition commands, so the PC times out.
    BoardRig loader;
    loader.events.onPass = [&](long pass) { if (pass == 10) loader.link.Timer1.Trip(); };
    EXPECT_EQ(Raised([&] { loader.Read(); }), "517|ReadData|Timeout");
    SendCommand(loader.link, 0, 0, 4);   // start without a program
    SendCommand(loader.link, 0, 0, 22);
    EXPECT_EQ(Obeyed(loader.board), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(loader.board.State(), FirmwareState::LoaderCommand);

    BoardRig rig;
    rig.Boot();
    for (auto [first, code] : {std::pair{0, 20}, std::pair{0, 22}, std::pair{0x6C, 3}, std::pair{0, 7}})
        SendCommand(rig.link, std::int16_t(first), 0x18F, std::int16_t(code));
    WaitForReady(rig.link);
    for (int i = 0; i < 256; ++i)
        ReadValue(rig.link);
    SendCommand(rig.link, 0, 0, 2);       // unknown to the running program
    SendCommand(rig.link, 9, 0x18F, 7);   // no block length above 256 x 2^7
    EXPECT_EQ(Obeyed(rig.board), (std::vector<bool>{true, true, true, true, false, false}));
    EXPECT_EQ(rig.board.State(), FirmwareState::RunningCommand);
}

TEST(Firmware, PowerDownAndTheLatchGiveConstantCodes)
{
    // Part powered down: outputs low, which is mid-scale in two's complement; bus switches
    // open (also in the start-up latch 0x90): the bus floats high; AVDD off: outputs low.
    struct Case { std::int16_t latch; bool powerDown; int format; double code; };
    const Case cases[] = {{0x6C, true, 0, 0}, {0x6C, true, 1, 0}, {0x68, false, 0, 4095}, {0x68, false, 1, -1},
                          {0x64, false, 0, 0}, {0x90, false, 0, 4095}};
    for (const Case& c : cases) {
        BoardRig rig;
        rig.Boot(c.latch);
        rig.ctx.CurrentSettings.DataFormat = std::int16_t(c.format);
        if (c.powerDown)
            SendCommand(rig.link, 0, 0, 20);
        rig.Read();
        EXPECT_EQ(rig.ctx.SampleCodes, std::vector<double>(256, c.code)) << c.latch << " " << c.powerDown;
    }

}

TEST(Firmware, ResetNeedsCommand8AndThePulseOrTheButtonOrPower)
{
    BoardRig rig;
    rig.Boot();
    PulseControlLines(rig.link);
    EXPECT_EQ(rig.board.State(), FirmwareState::RunningCommand) << "the program ignores a lone pulse";
    SendCommand(rig.link, 0, 0, 8);
    EXPECT_EQ(rig.board.State(), FirmwareState::ResetPending);
    EXPECT_EQ(Raised([&] { SendCommand(rig.link, 0, 0, 22); }), "504|Send Command|Send Command Failed on First Byte")
        << "nothing is taken while the board waits for the pulse";
    PulseControlLines(rig.link);
    EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
    EXPECT_EQ(rig.board.LatchValue(), BoardRig::kKv2680Latch) << "a reset keeps the latch";
    EXPECT_FALSE(rig.board.Firmware().ProgramLoaded());

    rig.Boot();
    rig.board.PressResetButton();
    EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
    EXPECT_EQ(rig.board.LatchValue(), BoardRig::kKv2680Latch);
}

TEST(Firmware, TheLoaderChecksEachPacketAndWaitsForTheSameWordAgain)
{
    BoardRig rig;
    rig.StartDownload(2);
    for (int b : {0x01, 0x02, 0x03, 0x07})   // checksum should be 6
        EPPWrite(rig.link, BoardRig::kBase, std::int16_t(b));
    EXPECT_EQ(EPPRead(rig.link, BoardRig::kBase), 0x15);
    EXPECT_TRUE(rig.board.Firmware().ProgramWords().empty());
    SendPacket(rig.link, "010203");
    SendPacket(rig.link, "0A0B0C");
    EXPECT_EQ(rig.board.Firmware().ProgramWords(), (std::vector<std::uint32_t>{0x010203, 0x0A0B0C}));
    EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
}

} // namespace
