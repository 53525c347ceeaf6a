#include "link/BoardRig.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

// One acquisition against the simulated board: block command, watchdog, ready handshake,
// masking and sign, failures and the register traffic per byte.

TEST(SampleUpload, WatchdogInterval)
{
    EXPECT_EQ(WatchdogInterval(100000), 3000);   // 327.68 ms
    EXPECT_EQ(WatchdogInterval(10000), 3277);    // 3276.8 ms
    EXPECT_EQ(WatchdogInterval(10923), 3000);    // 2999.9 ms
    EXPECT_EQ(WatchdogInterval(2000000), 3000);
    EXPECT_EQ(WatchdogInterval(1000), 32768);
    EXPECT_EQ(WatchdogInterval(501), 65405);
    EXPECT_EQ(WatchdogInterval(500), 65535);     // 65536 ms: beyond the classic timer, capped
    EXPECT_EQ(WatchdogInterval(1), 65535);
    EXPECT_EQ(WatchdogInterval(0), 65535);
}

TEST(SampleUpload, SetsTheWatchdogAndStopsItAfterTheWait)
{
    for (auto [freq, interval] : {std::pair{100000, 3000}, std::pair{10000, 3277}}) {
        BoardRig rig;
        rig.Boot();
        rig.ctx.CurrentSettings.SampleFreq = freq;
        rig.ctx.SampleClock.SetSampleFrequency(freq);
        rig.ctx.TimeOutFlag = true;
        ReadData(rig.ctx, 256, rig.ctx.SampleCodes);
        EXPECT_EQ(rig.timer1.interval(), interval);
        EXPECT_FALSE(rig.timer1.isActive());
        EXPECT_FALSE(rig.ctx.TimeOutFlag) << "cleared before the wait";
        EXPECT_TRUE(rig.ctx.SampleCodesDimensioned);
    }
}

TEST(SampleUpload, BlockCommandCarriesExponentAndPeriodWordOr3)
{
    struct Case { int freq; int k; int word; };
    const Case cases[] = {
        {100000, 0, 0x18F}, {50000, 1, 0x31F}, {800000, 2, 0x33},   // 49 | 3 = 51
        {1000, 0, 0x9C3F},                                           // 39999: the 16-bit word
    };
    for (const Case& c : cases) {
        BoardRig rig;
        rig.Boot();
        rig.ctx.CurrentSettings.NumberOfSamples = std::int16_t(c.k);
        rig.ctx.SampleClock.SetSampleFrequency(c.freq);
        ReadData(rig.ctx, 256 << c.k, rig.ctx.SampleCodes);
        const auto blocks = rig.board.Trace().FramesWithCode(7);
        ASSERT_EQ(blocks.size(), 1u);
        EXPECT_EQ(blocks[0].first, c.k);
        EXPECT_EQ(blocks[0].Word(), c.word);
        EXPECT_TRUE(blocks[0].obeyed);
        EXPECT_DOUBLE_EQ(rig.board.Firmware().SampleRate(), 40e6 / (c.word + 1));
    }
}

TEST(SampleUpload, MasksAndSignsTheCodes)
{
    const std::vector<std::uint16_t> raw = {0x07FF, 0x0800, 0x0FFF, 0x1FFF, 0xF000, 0x0000};
    struct Case { int bits; int format; std::vector<double> codes; };
    const Case cases[] = {
        {12, 1, {2047, -2048, -1, -1, 0, 0}},
        {12, 0, {2047, 2048, 4095, 4095, 0, 0}},
        {16, 1, {2047, 2048, 4095, 8191, -4096, 0}},
        {8, 1, {-1, 0, -1, -1, 0, 0}},
    };
    for (const Case& c : cases) {
        BoardRig rig;
        rig.Boot();
        rig.board.Converter().SetRawCodes(raw);
        rig.ctx.CurrentSettings.NumberOfBits = std::int16_t(c.bits);
        rig.ctx.CurrentSettings.DataFormat = std::int16_t(c.format);
        ReadData(rig.ctx, 256, rig.ctx.SampleCodes);
        ASSERT_EQ(rig.ctx.SampleCodes.size(), 256u);
        for (std::size_t i = 0; i < 256; ++i)
            ASSERT_EQ(rig.ctx.SampleCodes[i], c.codes[i % raw.size()]) << c.bits << " bits, index " << i;
    }
}

TEST(SampleUpload, TheDefaultSineStaysInTheCodeRangeOfEachFormat)
{
    for (int format : {0, 1}) {
        BoardRig rig;
        rig.Boot();
        rig.board.Converter().SetFormat(format ? CodeFormat::TwosComplement : CodeFormat::StraightBinary);
        rig.ctx.CurrentSettings.DataFormat = std::int16_t(format);
        rig.ctx.CurrentSettings.NumberOfSamples = 5;
        ReadData(rig.ctx, 8192, rig.ctx.SampleCodes);
        const auto [lo, hi] = std::minmax_element(rig.ctx.SampleCodes.begin(), rig.ctx.SampleCodes.end());
        const double offset = format ? -2048 : 0;
        EXPECT_GE(*lo, offset);
        EXPECT_LE(*hi, offset + 4095);
        EXPECT_GT(*hi - *lo, 0.9 * 4096) << "a sine a little below full scale";
        EXPECT_EQ(rig.ctx.SampleCodes, rig.ExpectedCodes(8192, 12, format == 1));
    }
}

TEST(SampleUpload, LargestBlockFillsEveryIndex)
{
    BoardRig rig;
    rig.Boot();
    rig.ctx.CurrentSettings.NumberOfSamples = 7;
    ReadData(rig.ctx, 32768, rig.ctx.SampleCodes);
    ASSERT_EQ(rig.ctx.SampleCodes.size(), 32768u);
    EXPECT_EQ(rig.ctx.SampleCodes, rig.ExpectedCodes(32768, 12, false));
    EXPECT_EQ(rig.board.Trace().BytesRead().size(), 65536u);
    EXPECT_EQ(rig.board.State(), FirmwareState::RunningCommand);
}

TEST(SampleUpload, NeverReadyTimesOutWithThePreviousSamplesIntact)
{
    BoardRig rig;
    rig.Boot();
    ReadData(rig.ctx, 256, rig.ctx.SampleCodes);
    const std::vector<double> previous = rig.ctx.SampleCodes;

    rig.board.Faults().neverReady = true;
    rig.events.onPass = [&](long pass) { if (pass == 40) rig.ctx.TimeOutFlag = true; };   // the tick
    rig.timer1.stop();
    const auto error = Raised([&] { ReadData(rig.ctx, 256, rig.ctx.SampleCodes); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Number, 517);
    EXPECT_EQ(error->Source, "ReadData");
    EXPECT_EQ(error->Description, "Timeout");
    EXPECT_EQ(rig.ctx.SampleCodes, previous);
    EXPECT_FALSE(rig.timer1.isActive());
    EXPECT_EQ(rig.events.passes, 40);
}

TEST(SampleUpload, AFailureOnTheTenthValueKeepsWhatWasRead)
{
    BoardRig rig;
    rig.Boot();
    rig.ctx.SampleCodes.assign(300, 7.0);
    // Four command bytes and nine values (18 bytes) get through; the tenth value's high
    // byte is not answered.
    rig.board.StopAnsweringAfter(4 + 18);
    const auto error = Raised([&] { ReadData(rig.ctx, 256, rig.ctx.SampleCodes); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Number, 517);
    EXPECT_EQ(error->Description, "Error Reading Data Sample 10");
    ASSERT_EQ(rig.ctx.SampleCodes.size(), 256u);
    const std::vector<double> expected = rig.ExpectedCodes(9, 12, false);
    for (std::size_t i = 0; i < 256; ++i)
        ASSERT_EQ(rig.ctx.SampleCodes[i], i < 9 ? expected[i] : 0.0) << i;
}

TEST(SampleUpload, AFailureOnTheLowByteNamesThatSample)
{
    BoardRig rig;
    rig.Boot();
    rig.board.StopAnsweringAfter(4 + 2 * 99 + 1);
    const auto error = Raised([&] { ReadData(rig.ctx, 256, rig.ctx.SampleCodes); });
    EXPECT_EQ(error->Description, "Error Reading Data Sample 100");
    EXPECT_EQ(rig.ctx.SampleCodes[99], 0.0);
    EXPECT_NE(rig.ctx.SampleCodes[98], 0.0);
}

TEST(SampleUpload, ACommandFailureShowsTheBoxAndLeavesTheSamples)
{
    BoardRig rig;
    rig.ctx.SampleCodes = {1, 2, 3};
    rig.board.SetPowered(false);
    const auto error = Raised([&] { ReadData(rig.ctx, 256, rig.ctx.SampleCodes); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Number, 504);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    const MessageRequest& box = rig.messages.shown[0];
    EXPECT_EQ(box.title, QString("Send Command Error"));
    EXPECT_EQ(box.text, "Evaluation Control Board failed to respond to a command.\rA reset may be necessary");
    EXPECT_EQ(box.icon, MessageIcon::Critical);
    EXPECT_EQ(box.buttons, MessageButtons::OkCancel);
    EXPECT_EQ(rig.ctx.SampleCodes, (std::vector<double>{1, 2, 3}));
    EXPECT_FALSE(rig.timer1.isActive());
}

// Every register access of an upload belongs to the documented handshake: 9 per command
// byte, 6 for the ready wait and 7 per uploaded byte (control read, idle, strobe, one
// status read, data read, release, one status read).
TEST(SampleUpload, RegisterAccessesAreExactlyTheHandshake)
{
    for (int k : {0, 3, 7}) {
        BoardRig rig;
        rig.Boot();
        rig.board.Trace().SetEnabled(false);
        rig.ctx.CurrentSettings.NumberOfSamples = std::int16_t(k);
        const std::uint64_t bytes = 2u * (256u << k);
        ReadData(rig.ctx, 256 << k, rig.ctx.SampleCodes);
        const auto a = rig.ports.Accesses();
        EXPECT_EQ(a.in, 4 * 3 + 3 + 4 * bytes);
        EXPECT_EQ(a.out, 4 * 6 + 3 + 3 * bytes);
        EXPECT_EQ(a.Total() - 4 * 9 - 6, 7 * bytes);
        EXPECT_EQ(rig.events.passes, 0) << "an instant board is ready at the first poll";
    }
}

TEST(SampleUpload, RealTimeBoardIsBusyForTheConversionTime)
{
    BoardRig rig;
    rig.Boot();
    rig.board.SetRealTime(true);
    rig.ctx.CurrentSettings.NumberOfSamples = 2;   // 1024 samples at 100 kHz: 10.24 ms
    QElapsedTimer clock;
    clock.start();
    ReadData(rig.ctx, 1024, rig.ctx.SampleCodes);
    EXPECT_GE(clock.nsecsElapsed(), 10'240'000);
    EXPECT_GT(rig.events.passes, 0) << "events processed while the board converts";
    EXPECT_EQ(rig.ctx.SampleCodes, rig.ExpectedCodes(1024, 12, false));
}
