#include "link/BoardRig.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

// One acquisition against the simulated board: block command, watchdog, ready handshake,
// masking and sign, failures and the register traffic per byte.

TEST(SampleUpload, WatchdogInterval)
{
    const std::pair<std::int32_t, int> cases[] = {
        {100000, 3000},   // 327.68 ms
        {10000, 3277},    // 3276.8 ms
        {10923, 3000},    // 2999.9 ms
        {2000000, 3000}, {1000, 32768}, {501, 65405},
        {500, 65535},     // 65536 ms: beyond the classic timer, capped
        {1, 65535}, {0, 65535}, {-1, 3000}, {-100000, 3000},
    };
    for (auto [freq, interval] : cases)
        EXPECT_EQ(WatchdogInterval(freq), interval) << freq;
}

TEST(SampleUpload, SetsTheWatchdogAndStopsItAfterTheWait)
{
    for (auto [freq, interval] : {std::pair{100000, 3000}, std::pair{10000, 3277}}) {
        BoardRig rig;
        rig.Boot();
        rig.ctx.CurrentSettings.SampleFreq = freq;
        rig.ctx.SampleClock.SetSampleFrequency(freq);
        rig.ctx.TimeOutFlag = true;
        rig.Read();
        EXPECT_EQ(rig.timer1.interval(), interval);
        EXPECT_FALSE(rig.timer1.isActive());
        EXPECT_FALSE(rig.ctx.TimeOutFlag) << "cleared before the wait";
        EXPECT_FALSE(rig.ctx.SampleCodes.empty());
    }
}

TEST(SampleUpload, BlockCommandCarriesExponentAndPeriodWordOr3)
{
    struct Case { int freq; int k; int word; };
    const Case cases[] = {
        {100000, 0, 0x18F}, {50000, 1, 0x31F}, {800000, 2, 0x33},   // 49 | 3 = 51
        {500000, 2, 79}, {1000, 0, 0x9C3F},                          // 39999: the 16-bit word
    };
    for (const Case& c : cases) {
        BoardRig rig;
        rig.Boot();
        rig.ctx.CurrentSettings.NumberOfSamples = std::int16_t(c.k);
        rig.ctx.SampleClock.SetSampleFrequency(c.freq);
        rig.Read(256 << c.k);
        const auto blocks = rig.board.Trace().FramesWithCode(7);
        ASSERT_EQ(blocks.size(), 1u);
        EXPECT_EQ(blocks[0].first, c.k);
        EXPECT_EQ(blocks[0].Word(), c.word);
        EXPECT_TRUE(blocks[0].obeyed);
        EXPECT_EQ(rig.board.Firmware().BlockLength(), 256 << c.k);
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
        rig.Read();
        ASSERT_EQ(rig.ctx.SampleCodes.size(), 256u);
        for (std::size_t i = 0; i < 256; ++i)
            ASSERT_EQ(rig.ctx.SampleCodes[i], c.codes[i % raw.size()]) << c.bits << " bits, index " << i;
    }
}

TEST(SampleUpload, LargestBlockFillsEveryIndex)
{
    BoardRig rig;
    rig.Boot();
    rig.ctx.CurrentSettings.NumberOfSamples = 7;
    rig.Read(32768);
    ASSERT_EQ(rig.ctx.SampleCodes.size(), 32768u);
    EXPECT_EQ(rig.ctx.SampleCodes, rig.ExpectedCodes(32768, 12, false));
    EXPECT_EQ(rig.board.Trace().BytesRead().size(), 65536u);
    EXPECT_EQ(rig.board.State(), FirmwareState::RunningCommand);
}

TEST(SampleUpload, NeverReadyTimesOutWithThePreviousSamplesIntact)
{
    BoardRig rig;
    rig.Boot();
    rig.Read();
    const std::vector<double> previous = rig.ctx.SampleCodes;

    rig.board.Faults().neverReady = true;
    rig.events.onPass = [&](long pass) { if (pass == 40) rig.ctx.TimeOutFlag = true; };   // the tick
    rig.timer1.stop();
    EXPECT_EQ(Raised([&] { rig.Read(); }), "517|ReadData|Timeout");
    EXPECT_EQ(rig.ctx.SampleCodes, previous);
    EXPECT_FALSE(rig.timer1.isActive());
    EXPECT_EQ(rig.events.passes, 40);
}

TEST(SampleUpload, AFailedValueIsNamedAndTheValuesBeforeItAreKept)
{
    // After the four command bytes: the tenth value's high byte, the hundredth's low byte.
    for (auto [answered, sample] : {std::pair{4 + 2 * 9, 10}, std::pair{4 + 2 * 99 + 1, 100}}) {
        BoardRig rig;
        rig.Boot();
        rig.ctx.SampleCodes.assign(300, 7.0);
        rig.board.StopAnsweringAfter(answered);
        EXPECT_EQ(Raised([&] { rig.Read(); }), "517|ReadData|Error Reading Data Sample " + std::to_string(sample));
        ASSERT_EQ(rig.ctx.SampleCodes.size(), 256u);
        const std::vector<double> expected = rig.ExpectedCodes(sample - 1, 12, false);
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(rig.ctx.SampleCodes[i], i < sample - 1 ? expected[i] : 0.0) << sample << ": " << i;
    }
}

TEST(SampleUpload, ACommandFailureShowsTheBoxAndLeavesTheSamples)
{
    BoardRig rig;
    rig.ctx.SampleCodes = {1, 2, 3};
    rig.board.SetPowered(false);
    EXPECT_EQ(RaisedNumber([&] { rig.Read(); }), 504);
    EXPECT_EQ(rig.messages.shown, (std::vector<MessageRequest>{
        {"Evaluation Control Board failed to respond to a command.\rA reset may be necessary",
         "Send Command Error", MessageIcon::Critical, MessageButtons::OkCancel}}));
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
        rig.Read(256 << k);
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
    rig.Read(1024);
    EXPECT_GE(clock.nsecsElapsed(), 10'240'000);
    EXPECT_GT(rig.events.passes, 0) << "events processed while the board converts";
    EXPECT_EQ(rig.ctx.SampleCodes, rig.ExpectedCodes(1024, 12, false));
}
