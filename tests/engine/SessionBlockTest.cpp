#include "link/BoardRig.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

// One block through the session without the window: upload, volts, spectrum with its
// metrics, the summed histogram and the status line, against the simulated board.

namespace {

TEST(SessionBlock, OneBlockGivesTheBoardsCodesAndEverythingDerivedFromThem)
{
    // At 256 samples the simulated tone (0.0123 fs) sits about three bins above DC, inside
    // the window's main lobe around DC, so its figures cannot be read.
    struct Case { std::int16_t exponent; const char* signalReason; };
    for (const Case c : {Case{0, "tone too near DC"}, Case{2, ""}, Case{5, ""}}) {
        const std::int16_t exponent = c.exponent;
        const int n = 256 << exponent;
        SCOPED_TRACE(n);
        BoardRig rig;
        rig.Boot();
        Settings& s = rig.ctx.CurrentSettings;
        s.NumberOfSamples = exponent;
        s.InputVMin = -1.0;
        s.InputVMax = 3.0;

        ASSERT_EQ(rig.session.TakeBlock(), 0);
        const std::vector<double> codes = rig.BlockCodes(n);
        EXPECT_EQ(rig.ctx.SampleCodes, codes);
        ASSERT_EQ(rig.ctx.SampleVolts.size(), std::size_t(n));
        for (int i = 0; i < n; i += 37)
            EXPECT_DOUBLE_EQ(rig.ctx.SampleVolts[i], -1.0 + codes[i] * 4.0 / 4096) << i;

        // The simulated input is a near full-scale sine at 0.0123 fs.
        ASSERT_EQ(rig.ctx.Spectrum.size(), std::size_t(n / 2));
        const auto peak = std::max_element(rig.ctx.Spectrum.begin() + 3, rig.ctx.Spectrum.end());
        EXPECT_NEAR(double(peak - rig.ctx.Spectrum.begin()), 0.0123 * n, 1.0);
        const DynamicMetrics& m = rig.session.Analyzer().Metrics();
        EXPECT_EQ(m.signalDbfs.reason, c.signalReason);
        EXPECT_EQ(m.snrDb.Valid(), m.signalDbfs.Valid());
        if (m.signalDbfs.Valid()) {
            EXPECT_NEAR(m.signalDbfs.value, 20 * std::log10(0.95), 0.5);
        }

        const CodeHistogram& h = rig.session.Histogram().Histogram();
        EXPECT_EQ(h.inRange, n);
        EXPECT_EQ(h.counts.size(), 4096u);
        const int someCode = int(codes[n / 3]);
        EXPECT_EQ(h.counts[std::size_t(someCode)], std::count(codes.begin(), codes.end(), someCode));

        EXPECT_EQ(rig.status1.Texts(), QStringList{QStringLiteral("%1 Data Samples Uploaded").arg(n)});
        EXPECT_FALSE(rig.status1.lines.back().colour.has_value());
        EXPECT_EQ(s.DataLoaded, True);
    }
}

TEST(SessionBlock, TheHistogramSumsEveryBlockAndEachSpectrumIsItsOwnBlocks)
{
    BoardRig rig;
    rig.Boot();
    ASSERT_EQ(rig.session.TakeBlock(), 0);
    const std::vector<double> first = rig.ctx.SampleCodes;
    ASSERT_EQ(rig.session.TakeBlock(), 0);
    const std::vector<double> second = rig.ctx.SampleCodes;
    ASSERT_NE(first, second) << "the board's signal runs on between blocks";
    EXPECT_EQ(second, rig.BlockCodes(256));

    const CodeHistogram& h = rig.session.Histogram().Histogram();
    EXPECT_EQ(rig.session.Histogram().Blocks(), 2);
    EXPECT_EQ(h.inRange, 512);
    for (const double code : {first[10], second[200]}) {
        const auto both = std::count(first.begin(), first.end(), code) + std::count(second.begin(), second.end(), code);
        EXPECT_EQ(h.counts[std::size_t(code)], both) << code;
    }
    EXPECT_EQ(rig.status1.Texts(), (QStringList{"256 Data Samples Uploaded", "256 Data Samples Uploaded"}));
}

// A block that does not arrive is reported in red, touches neither the histogram nor the
// data-loaded flag, and a refused block command also shows its box.
TEST(SessionBlock, AFailedBlockIsReportedAndNotAccumulated)
{
    struct Case {
        const char* name;
        std::function<void(BoardRig&)> fault;
        int error;
        const char* line;
        std::size_t boxes;
        const char* lastError;
    };
    const Case cases[] = {
        {"upload stops at sample 10", [](BoardRig& r) { r.board.StopAnsweringAfter(4 + 2 * 9); }, 517,
         "Data Upload Failure", 0, "Error Reading Data Sample 10"},
        {"board switched off", [](BoardRig& r) { r.board.SetPowered(false); }, 504, "Send Command Error", 1,
         "Send Command Failed on First Byte"},
        {"block command's third byte lost", [](BoardRig& r) { r.board.StopAnsweringAfter(2); }, 504,
         "Send Command Error", 1, "Send Command Failed on Word1 Low Byte"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoardRig rig;
        rig.Boot();
        c.fault(rig);
        rig.messages.answers = {MessageResult::Cancel};
        EXPECT_EQ(rig.session.TakeBlock(), c.error);
        ASSERT_EQ(rig.status1.Texts(), QStringList{c.line});
        EXPECT_EQ(rig.status1.lines[0].colour, std::optional<std::uint32_t>(Colour::Red));
        EXPECT_EQ(rig.session.LastError().Number, c.error);
        EXPECT_EQ(rig.session.LastError().Description, c.lastError);
        EXPECT_EQ(rig.session.Histogram().Blocks(), 0);
        EXPECT_EQ(rig.ctx.CurrentSettings.DataLoaded, False);
        ASSERT_EQ(rig.messages.shown.size(), c.boxes);
        if (c.boxes) {
            EXPECT_EQ(rig.messages.shown[0], (MessageRequest{
                "Evaluation Control Board failed to respond to a command.\rA reset may be necessary",
                "Send Command Error", MessageIcon::Critical, MessageButtons::OkCancel}));
        }
    }
}

} // namespace
