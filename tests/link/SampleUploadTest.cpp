#include "engine/SessionWaiter.h"
#include "link/BoardRig.h"

#include <gtest/gtest.h>

// One acquisition against the simulated board: block command, watchdog, ready handshake,
// masking and sign, failures and the register traffic per byte.

TEST(SampleUpload, WatchdogInterval)
{
    // 327.68 ms, 3276.8 ms, 2999.9 ms ... 65536 ms: beyond the classic timer, capped.
    const std::pair<std::int32_t, int> cases[] = {{100000, 3000}, {10000, 3277}, {10923, 3000}, {2000000, 3000},
        {1000, 32768}, {501, 65405}, {500, 65535}, {1, 65535}, {0, 65535}, {-1, 3000}, {-100000, 3000}};
    for (auto [freq, interval] : cases)
        EXPECT_EQ(WatchdogInterval(freq), interval) << freq;
}

TEST(SampleUpload, BlockCommandCarriesExponentAndPeriodWordOr3)
{
    // 800000 Hz: 49 | 3 = 51; 1000 Hz: 39999, the 16-bit word.
    struct Case { int freq; int k; int word; };
    const Case cases[] = {{100000, 0, 0x18F}, {50000, 1, 0x31F}, {800000, 2, 0x33}, {500000, 2, 79}, {1000, 0, 0x9C3F}};
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
    }
}

TEST(SampleUpload, MasksAndSignsTheCodes)
{
    const std::vector<std::uint16_t> raw = {0x07FF, 0x0800, 0x0FFF, 0x1FFF, 0xF000, 0x0000};
    struct Case { int bits; int format; std::vector<double> codes; };
    const Case cases[] = {{12, 1, {2047, -2048, -1, -1, 0, 0}}, {12, 0, {2047, 2048, 4095, 4095, 0, 0}},
                          {16, 1, {2047, 2048, 4095, 8191, -4096, 0}}, {8, 1, {-1, 0, -1, -1, 0, 0}}};
    for (const Case& c : cases) {
        BoardRig rig;
        rig.Boot();
        rig.board.Converter().SetRawCodes(raw);
        rig.ctx.CurrentSettings.NumberOfBits = std::int16_t(c.bits);
        rig.ctx.CurrentSettings.DataFormat = std::int16_t(c.format);
        rig.Read();
        ASSERT_EQ(rig.ctx.SampleCodes.size(), 256u);
        EXPECT_EQ(std::vector<double>(rig.ctx.SampleCodes.begin(), rig.ctx.SampleCodes.begin() + 6), c.codes) << c.bits;
    }
}

TEST(SampleUpload, NeverReadyTimesOutWithThePreviousSamplesIntact)
{
    BoardRig rig;
    rig.Boot();
    rig.Read();
    const std::vector<double> previous = rig.ctx.SampleCodes;
    rig.board.Faults().neverReady = true;
    rig.events.onPass = [&](long pass) { if (pass == 40) rig.link.Timer1.Trip(); };   // the tick
    rig.link.Timer1.Trip();   // a stale tick is cleared before the wait
    EXPECT_EQ(Raised([&] { rig.Read(); }), "517|ReadData|Timeout");
    EXPECT_EQ(rig.link.Timer1.interval(), 3000);
    EXPECT_EQ(rig.ctx.SampleCodes, previous);
    EXPECT_FALSE(rig.link.Timer1.isActive());
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
        std::vector<double> expected = rig.BlockCodes(sample - 1);
        expected.resize(256, 0.0);
        EXPECT_EQ(rig.ctx.SampleCodes, expected) << sample;
    }
}

TEST(SampleUpload, ACommandFailureShowsTheBoxAndLeavesTheSamples)
{
    BoardRig rig;
    rig.ctx.SampleCodes = {1, 2, 3};
    rig.board.SetPowered(false);
    EXPECT_EQ(Raised([&] { rig.Read(); }), "504|Send Command|Send Command Failed on First Byte");
    EXPECT_TRUE(rig.messages.shown.empty()) << "the link shows nothing; the session does";
    EXPECT_EQ(rig.session.ReadBlock(), 504);
    EXPECT_EQ(rig.messages.shown, (std::vector<MessageRequest>{
        {"Evaluation Control Board failed to respond to a command.\rA reset may be necessary",
         "Send Command Error", MessageIcon::Critical, MessageButtons::OkCancel}}));
    EXPECT_EQ(rig.ctx.SampleCodes, (std::vector<double>{1, 2, 3}));
}

// Every register access of an upload belongs to the documented handshake: 9 per command
// byte, 6 for the ready wait and 7 per uploaded byte (control read, idle, strobe, one
// status read, data read, release, one status read). The largest block fills every index.
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
        EXPECT_EQ(rig.events.passes, 0) << "an instant board is ready at the first poll";
        EXPECT_EQ(rig.ctx.SampleCodes, rig.BlockCodes(256 << k));
    }
    // A board in real time is busy for the conversion time: the link sleeps through it and
    // then finds the board ready within a few status reads.
    BoardRig rig;
    rig.Boot();
    rig.board.SetRealTime(true);
    rig.ctx.CurrentSettings.NumberOfSamples = 2;   // 1024 samples at 100 kHz: 10.24 ms
    rig.Read(1024);
    EXPECT_EQ(rig.events.pauses, std::vector<std::chrono::nanoseconds>{std::chrono::microseconds(10240)});
    SessionWaiter sleeper;
    rig.link.Wait = &sleeper;
    rig.ports.ResetAccessCounts();
    rig.Read(1024);
    EXPECT_LT(rig.ports.Accesses().in, 4 * 3 + 3 + 4 * 2048u + 10);
    EXPECT_EQ(rig.ctx.SampleCodes, rig.BlockCodes(1024));
}
