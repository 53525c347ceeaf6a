#include "TestSignals.h"
#include "analysis/CoherentFrequency.h"
#include "analysis/SpectrumAnalyzer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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

using W = WindowKind;

TEST(Validity, EachUntrustworthyFigureSaysWhy)
{
    using Reason = std::function<std::string(const DynamicMetrics&)>;
    const Reason snr = [](auto& m) { return m.snrDb.reason; }, sinad = [](auto& m) { return m.sinadDb.reason; },
                 thd = [](auto& m) { return m.thdDb.reason; };
    // 8192 samples, 12 bits, 4-term Blackman-Harris (main lobe +-4 bins, DC bins 0..4).
    struct Case { const char* what; SineSpec signal; Reason reasonOf; const char* reason; };
    const Case cases[] = {
        {"256 samples", {.n = 256, .cycles = 31}, snr, "too few samples"},
        {"3 x 2731 = 8193 folds to bin 1", {.n = 8192, .cycles = 2731}, [](auto& m) { return m.harmonics.at(1).reason; },
         "harmonic 3 folds onto DC"},
        {"2 x 2731 folds to 2730", {.n = 8192, .cycles = 2731}, sinad, "harmonic 2 folds onto the fundamental"},
        {"3 x 1365 = 4095", {.n = 8192, .cycles = 1365}, thd, "harmonic 3 too near Nyquist"},
        {"4 x 1171 folds to 3508, 3 x 1171 = 3513", {.n = 8192, .cycles = 1171}, thd,
         "harmonic 4 folds onto harmonic 3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.reasonOf(Analyse(QuantisedSine(c.signal), 12, W::BlackmanHarris4).metrics), c.reason) << c.what;
    }
    // Harmonics folding onto each other leave the figures they do not touch valid.
    const DynamicMetrics folded = Analyse(QuantisedSine({.n = 8192, .cycles = 1171}), 12, W::BlackmanHarris4).metrics;
    EXPECT_TRUE(folded.snrDb.Valid() && folded.sinadDb.Valid());
}

TEST(Spurs, AndHarmonicsReadAsSfdrAtTheirFoldedPlace)
{
    // A spur (order 0) between bins reads its whole lobe, though its peak bin reads up to
    // the window's scalloping loss low (Hann 1.4 dB, Blackman-Harris 0.8 dB). A harmonic is
    // distortion, not noise, and shows where it folds.
    struct Case { int bits; WindowKind window; double toneCycles; int order; double spurCycles, dbc, shownAt; };
    const Case cases[] = {
        {12, W::Hann, 1001, 0, 1500.5, -60, 1500.5},
        {12, W::BlackmanHarris4, 1000.37, 0, 2345.5, -65, 2345.5},
        {16, W::BlackmanHarris7, 1001, 0, 3210.25, -90, 3210.25},
        {12, W::BlackmanHarris4, 1001, 2, 0, -60, 2002},
        {12, W::Rectangular, 1001, 3, 0, -65, 3003},
        {12, W::BlackmanHarris4, 331.37, 5, 0, -65, 1656.85},
        {12, W::BlackmanHarris4, 3000, 3, 0, -60, 808},   // 9000 folds back to 8192 - 9000 + 8192
    };
    for (const Case& c : cases) {
        const auto codes = QuantisedSine({.bits = c.bits, .n = 8192, .cycles = c.toneCycles,
                                          .amplitude = 0.9 * std::ldexp(1.0, c.bits - 1),
                                          .spurs = {{c.order ? c.order * c.toneCycles : c.spurCycles, std::pow(10, c.dbc / 20)}}});
        const DynamicMetrics m = Analyse(codes, c.bits, c.window).metrics;
        ASSERT_TRUE(m.sfdrDb.Valid() && (c.order == 0 || m.thdDb.Valid())) << c.shownAt << ": " << m.sfdrDb.reason << m.thdDb.reason;
        EXPECT_NEAR(m.sfdrDb.value, -c.dbc, c.order ? 0.5 : 0.2) << c.shownAt;
        EXPECT_EQ(m.worstSpur.order, c.order) << c.shownAt;
        if (c.order == 0) {
            EXPECT_NEAR(m.worstSpur.bin, c.shownAt, 0.5);
            continue;
        }
        const HarmonicMark& h = m.harmonics.at(std::size_t(c.order - 2));
        EXPECT_NEAR(h.bin, c.shownAt, 0.05) << c.shownAt;
        EXPECT_NEAR(h.levelDbfs, c.dbc + 20 * std::log10(0.9), 0.5) << c.shownAt;
        EXPECT_NEAR(m.thdDb.value, c.dbc, 0.5) << c.shownAt;
        EXPECT_GT(m.snrDb.value, IdealSnrDb(12) - 1.5) << c.shownAt;
        EXPECT_LT(m.sinadDb.value, -c.dbc + 0.5) << c.shownAt;
    }
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
    // 51.3 cycles: the plain mean is 8 codes off the offset, yet no DC bin is left.
    const Result partCycles = Analyse(QuantisedSine({.n = 1024, .cycles = 51.3, .amplitude = 1950}), 12, W::BlackmanHarris4);
    EXPECT_LT(*std::max_element(partCycles.db.begin(), partCycles.db.begin() + 4), -90.0);
    const Result flatTop = Analyse(QuantisedSine({.bits = 16, .n = 8192, .cycles = 1000.5, .amplitude = 3276.8}), 16, W::FlatTop);
    EXPECT_NEAR(*std::max_element(flatTop.db.begin(), flatTop.db.end()), -20.0, 0.05);
}

TEST(ShortBlocks, AndNonFiniteCodesGiveFiniteBinsAndNoMetrics)
{
    for (const std::size_t n : {0u, 1u, 2u, 3u, 7u, 16u}) {
        std::vector<double> codes(n, 100.0);
        if (n > 1)
            codes[1] = 101;
        const Result r = Analyse(codes, 12, DefaultWindow);
        EXPECT_EQ(r.db.size(), n == 0 ? 0 : std::max<std::size_t>(n / 2, 1)) << n;
        EXPECT_FALSE(r.metrics.sinadDb.Valid()) << n;
        EXPECT_TRUE(std::all_of(r.db.begin(), r.db.end(), [](double v) { return std::isfinite(v); })) << n;
    }
    for (const double bad : {std::numeric_limits<double>::infinity(), std::nan("")}) {
        auto codes = QuantisedSine({.bits = 12, .n = 1024, .cycles = 101});
        codes[10] = bad;
        const DynamicMetrics m = Analyse(codes, 12, DefaultWindow).metrics;
        EXPECT_FALSE(m.frequencyBin.Valid() || m.snrDb.Valid()) << bad;
    }
}

TEST(CoherentFrequency, NearestOddCycleCountsPrimeToTheLength)
{
    struct Case { double wantedHz, fs; std::int64_t n; std::vector<double> hz; };   // closest first
    const Case cases[] = {
        {999.2, 8192, 4096, {998, 1002}},        // bins of 2 Hz
        {3, 1000, 1000, {3, 7}},                 // 5 shares a factor with 1000
        {125.4, 1000, 1000, {127, 123}},         // so does 125
        {1000, 1000, 1000, {499}},               // beyond Nyquist: the highest below it
    };
    for (const Case& c : cases) {
        std::vector<double> found;
        for (const CoherentFrequency& f : NearestCoherentFrequencies(c.wantedHz, c.fs, c.n))
            found.push_back(f.hz);
        EXPECT_EQ(found, c.hz) << c.wantedHz;
    }
}

} // namespace
