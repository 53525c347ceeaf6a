#include "TestSignals.h"
#include "analysis/SpectrumAnalyzer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

struct Result {
    DynamicMetrics metrics;
    std::vector<double> db;
};

Result Analyse(const std::vector<double>& codes, int bits, WindowKind window)
{
    SpectrumAnalyzer a;
    a.SetResolution(bits);
    a.SetWindow(window);
    a.Analyse(codes);
    Result r{a.Metrics(), {}};
    a.SpectrumDb(r.db);
    return r;
}

// The test sine is full scale less half an LSB, so it stays within the code range.
double HalfLsbLossDb(int bits)
{
    const double half = std::ldexp(1.0, bits - 1);
    return 20 * std::log10(half / (half - 0.5));
}

struct SnrCase {
    int bits;
    WindowKind window;
    double cycles;
    double toleranceDb;
};

class IdealSine : public ::testing::TestWithParam<SnrCase> {};
using W = WindowKind;

// 1001 cycles in 8192 samples: coherent, and the 8-bit quantisation error spreads like
// noise (at some frequencies it gathers a few tenths of a dB in the low harmonics,
// which SNR leaves out by definition).
INSTANTIATE_TEST_SUITE_P(
    Coherent, IdealSine,
    ::testing::Values(SnrCase{8, W::Rectangular, 1001, 0.2}, SnrCase{12, W::Rectangular, 1001, 0.2},
                      SnrCase{16, W::Rectangular, 1001, 0.2}, SnrCase{8, W::BlackmanHarris4, 1001, 0.2},
                      SnrCase{12, W::BlackmanHarris4, 1001, 0.2}, SnrCase{16, W::BlackmanHarris4, 1001, 0.2},
                      SnrCase{12, W::Hann, 1001, 0.2}, SnrCase{16, W::BlackmanHarris7, 1001, 0.2},
                      SnrCase{12, W::FlatTop, 1001, 0.2}));

// Between bins the 4-term window's sidelobes leak about -86 dB, so 16 bits need the
// 7-term window.
INSTANTIATE_TEST_SUITE_P(
    NonCoherent, IdealSine,
    ::testing::Values(SnrCase{8, W::BlackmanHarris4, 331.37, 0.5}, SnrCase{12, W::BlackmanHarris4, 331.37, 0.5},
                      SnrCase{12, W::BlackmanHarris4, 1000.5, 0.5}, SnrCase{16, W::BlackmanHarris7, 1000.5, 0.5}));

TEST_P(IdealSine, ReachesTheQuantisationLimit)
{
    const SnrCase c = GetParam();
    const Result r = Analyse(QuantisedSine({.bits = c.bits, .n = 8192, .cycles = c.cycles}),
                             c.bits, c.window);
    ASSERT_TRUE(r.metrics.valid);
    const double ideal = IdealSnrDb(c.bits) - HalfLsbLossDb(c.bits);
    EXPECT_NEAR(r.metrics.snrDb, ideal, c.toleranceDb);
    EXPECT_NEAR(r.metrics.sinadDb, ideal, c.toleranceDb);
    EXPECT_NEAR(r.metrics.enob, (r.metrics.sinadDb - 1.76) / 6.02, 1e-12);
    EXPECT_NEAR(r.metrics.fundamentalDbfs, -HalfLsbLossDb(c.bits), 0.05);
    EXPECT_NEAR(r.metrics.fundamentalBin, c.cycles, 0.05);
    EXPECT_LT(r.metrics.thdDb, -IdealSnrDb(c.bits));
}

TEST(SpectrumScale, CoherentFullScaleSinePeaksAtZeroDbfsInEveryWindow)
{
    const auto codes = QuantisedSine({.bits = 12, .n = 4096, .cycles = 201});
    for (const WindowKind w : AllWindows) {
        const Result r = Analyse(codes, 12, w);
        ASSERT_EQ(r.db.size(), 2048u);
        EXPECT_NEAR(r.db[201], 0.0, 0.01) << WindowName(w);
        // The straight-binary codes sit on a DC of half the range; the mean is removed.
        EXPECT_LT(r.db[0], -100.0) << WindowName(w);
        EXPECT_EQ(std::max_element(r.db.begin(), r.db.end()) - r.db.begin(), 201) << WindowName(w);
    }
}

TEST(SpectrumScale, OffsetOfABlockWithPartCyclesLeavesNoDcBin)
{
    // 51.3 cycles: the plain mean is 8 codes off the offset.
    auto codes = QuantisedSine({.bits = 12, .n = 1024, .cycles = 51.3, .amplitude = 1950});
    const Result r = Analyse(codes, 12, WindowKind::BlackmanHarris4);
    EXPECT_LT(*std::max_element(r.db.begin(), r.db.begin() + 4), -90.0);
}

TEST(SpectrumScale, FlatTopReadsTheAmplitudeBetweenBins)
{
    const auto codes = QuantisedSine({.bits = 16, .n = 8192, .cycles = 1000.5, .amplitude = 3276.8});
    const Result r = Analyse(codes, 16, WindowKind::FlatTop);
    EXPECT_NEAR(*std::max_element(r.db.begin(), r.db.end()), -20.0, 0.05);
}

double FromDbc(double dbc) { return std::pow(10, dbc / 20); }

struct DistortionCase {
    double cycles;
    int harmonic;            // order of the added harmonic
    double harmonicDbc;
    WindowKind window;
};

class Distortion : public ::testing::TestWithParam<DistortionCase> {};

INSTANTIATE_TEST_SUITE_P(
    AddedHarmonic, Distortion,
    ::testing::Values(DistortionCase{1001, 2, -60, WindowKind::BlackmanHarris4},
                      DistortionCase{1001, 3, -70, WindowKind::Rectangular},
                      DistortionCase{331.37, 5, -65, WindowKind::BlackmanHarris4},
                      // 3 x 3000 cycles alias to bin 808; 2 x 3000.3 fold back to 2191.4
                      DistortionCase{3000, 3, -60, WindowKind::BlackmanHarris4},
                      DistortionCase{3000.3, 2, -75, WindowKind::BlackmanHarris7}));

TEST_P(Distortion, IsReportedAsThdAndSfdr)
{
    const DistortionCase c = GetParam();
    const auto codes = QuantisedSine({.bits = 12, .n = 8192, .cycles = c.cycles,
                                      .amplitude = 0.9 * 2048,
                                      .harmonics = {{c.harmonic, FromDbc(c.harmonicDbc)}}});
    const Result r = Analyse(codes, 12, c.window);
    ASSERT_TRUE(r.metrics.valid);
    EXPECT_NEAR(r.metrics.thdDb, c.harmonicDbc, 0.5);
    EXPECT_NEAR(r.metrics.sfdrDb, -c.harmonicDbc, 0.5);
    EXPECT_NEAR(r.metrics.fundamentalDbfs, 20 * std::log10(0.9), 0.05);
    // The harmonic is distortion, not noise.
    EXPECT_GT(r.metrics.snrDb, IdealSnrDb(12) - 1.5);
    EXPECT_LT(r.metrics.sinadDb, -c.harmonicDbc + 0.5);
}

TEST(Distortion, HarmonicsAddUpInThd)
{
    const auto codes = QuantisedSine({.bits = 16, .n = 8192, .cycles = 1001, .amplitude = 30000,
                                      .harmonics = {{2, FromDbc(-70)}, {3, FromDbc(-66)}}});
    const Result r = Analyse(codes, 16, WindowKind::BlackmanHarris4);
    EXPECT_NEAR(r.metrics.thdDb, 10 * std::log10(std::pow(10, -7.0) + std::pow(10, -6.6)), 0.2);
    EXPECT_NEAR(r.metrics.sfdrDb, 66, 0.2);
}

TEST(ShortBlocks, AndNonFiniteCodesGiveFiniteBinsAndNoMetrics)
{
    for (const std::size_t n : {0u, 1u, 2u, 3u, 7u, 16u}) {
        std::vector<double> codes(n, 100.0);
        if (n > 1)
            codes[1] = 101;
        const Result r = Analyse(codes, 12, DefaultWindow);
        EXPECT_EQ(r.db.size(), n == 0 ? 0 : std::max<std::size_t>(n / 2, 1)) << n;
        EXPECT_FALSE(r.metrics.valid) << n;
        EXPECT_TRUE(std::all_of(r.db.begin(), r.db.end(), [](double v) { return std::isfinite(v); })) << n;
    }
    for (const double bad : {std::numeric_limits<double>::infinity(), std::nan("")}) {
        auto codes = QuantisedSine({.bits = 12, .n = 1024, .cycles = 101});
        codes[10] = bad;
        const Result r = Analyse(codes, 12, DefaultWindow);
        EXPECT_EQ(r.db.size(), 512u);
        EXPECT_FALSE(r.metrics.valid);
    }
}

TEST(WindowChange, IsUsedByTheNextBlockOfTheSameLength)
{
    const auto codes = QuantisedSine({.bits = 12, .n = 8192, .cycles = 1000.5});
    SpectrumAnalyzer a;
    a.SetResolution(12);
    a.SetWindow(WindowKind::Rectangular);
    a.Analyse(codes);
    const double rectangular = a.Metrics().snrDb;
    a.SetWindow(WindowKind::BlackmanHarris4);
    a.Analyse(codes);
    EXPECT_LT(rectangular, 40);   // leakage between bins swamps the noise
    EXPECT_NEAR(a.Metrics().snrDb, IdealSnrDb(12), 0.5);
}

} // namespace
