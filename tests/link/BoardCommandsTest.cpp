#include "link/BoardRig.h"

#include <gtest/gtest.h>

// Command frames, their echo and value reads, byte for byte against the simulated board's
// trace.

TEST(BoardCommands, EchoLinesGoToTheStatusBoxBeforeAnyByteOnlyWithEchoComms)
{
    struct Case { int first; std::int32_t word; int code; const char* line; };
    const Case cases[] = {
        {3, 0x18F, 7, "Sent:03018F07"}, {144, 0, 3, "Sent:90000003"}, {0, 65535, 22, "Sent:00FFFF16"},
        {255, 0x12345, 20, "Sent:FF1234514"},   // five digits stay five
        {0, 0xAB, 0, "Sent:0000AB00"}, {-1, -1, 4, "Sent:FFFFFFFFFFFF04"},   // negative values show their bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(CommandEchoLine(std::int16_t(c.first), c.word, std::int16_t(c.code)), c.line);

    BoardRig rig;
    rig.Boot();
    SendCommand(rig.link, 0, 0, 22);
    EXPECT_TRUE(rig.status1.lines.empty());
    rig.link.EchoComms = true;
    rig.ctx.CurrentSettings.NumberOfSamples = 3;
    rig.Read(2048);
    ASSERT_EQ(rig.status1.Texts(), QStringList{"Sent:03018F07"});
    EXPECT_FALSE(rig.status1.lines[0].colour.has_value());
    rig.board.SetPowered(false);   // echoed even when the board then fails to take the frame
    EXPECT_NE(Raised([&] { SendCommand(rig.link, 144, 0, 3); }), "none");
    EXPECT_EQ(rig.status1.Texts().last(), "Sent:90000003");
}

TEST(BoardCommands, FrameBytesAndTheNameOfAFailedByte)
{
    struct Case { int first; std::int32_t word; int code; Bytes bytes; };
    const Case cases[] = {
        {0, 65535, 0x55, {0, 255, 255, 0x55}}, {0, 256, 0x55, {0, 1, 0, 0x55}},
        {3, 0x18F, 0x55, {3, 0x01, 0x8F, 0x55}}, {144, 0, 3, {0x90, 0, 0, 3}},
        // Negative period bytes: the word splits by division toward zero, not by its bits.
        {0, PeriodWord(0, -1), 0x55, {0, 0, 255, 0x55}}, {0, PeriodWord(-1, 0), 0x55, {0, 0, 3, 0x55}},
        {0, PeriodWord(-128, 0), 0x55, {0, 129, 3, 0x55}}, {0, PeriodWord(0x01, 0x8C), 0x55, {0, 0x01, 0x8F, 0x55}},
    };
    for (const Case& c : cases) {
        BoardRig rig;
        rig.Boot();
        SendCommand(rig.link, std::int16_t(c.first), c.word, std::int16_t(c.code));
        EXPECT_EQ(rig.board.Trace().BytesWritten(), c.bytes);
        ASSERT_EQ(rig.board.Trace().Frames().size(), 1u);
        EXPECT_EQ(rig.board.Trace().Frames()[0].obeyed, c.code == 3) << "the running program ignores unknown codes";
    }
    const char* names[] = {"First Byte", "Word1 High Byte", "Word1 Low Byte", "Byte2"};
    for (int k = 0; k < 4; ++k) {
        BoardRig rig;
        rig.Boot();
        rig.board.StopAnsweringAfter(k);
        EXPECT_EQ(Raised([&] { SendCommand(rig.link, 0, 0x1234, 22); }),
                  std::string("504|Send Command|Send Command Failed on ") + names[k]);
        EXPECT_EQ(rig.board.Trace().BytesWritten().size(), std::size_t(k));
        EXPECT_EQ(rig.board.Trace().Records().back(), (BusRecord{BusEvent::CycleAborted, 1}))
            << "nothing after the failed byte";
    }
}

TEST(BoardCommands, ReadValueIsHighByteFirstAndFailsWithoutASecondRead)
{
    BoardRig rig;
    rig.Boot();
    rig.board.Converter().SetRawCodes({0xA5C3});
    SendCommand(rig.link, 0, 0x18F, 7);
    WaitForReady(rig.link);
    EXPECT_EQ(ReadValue(rig.link), 0xA5C3);
    EXPECT_EQ(rig.board.Trace().BytesRead(), (Bytes{0xA5, 0xC3}));
    for (int i = 1; i < 256; ++i)   // the running program has nothing to send once the block is read
        ReadValue(rig.link);
    rig.board.Trace().Clear();
    EXPECT_EQ(Raised([&] { ReadValue(rig.link); }), "518|ReadValue|ReadValue Error");
    EXPECT_EQ(rig.board.Trace().Records(), (std::vector<BusRecord>{{BusEvent::CycleAborted, 0}}));
}
