#include "TestSignals.h"
#include "analysis/SineCodeDensity.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// 65536 samples of an 8-bit sine hit every inner code about 150 times or more.
std::vector<double> IdealSine8()
{
    return QuantisedSine({.bits = 8, .n = 65536, .cycles = 4099, .phase = 0.1});
}

TEST(CodeRange, FollowsTheSignOfTheCodesAndCountsEachCodeInItsBin)
{
    struct Case {
        std::vector<double> codes;
        int bits;
        int firstCode, lastCode;
        std::int64_t outOfRange;
    };
    const Case cases[] = {
        {{0, 1, 4095}, 12, 0, 4095, 0},
        {{-1, 0, 2047}, 12, -2048, 2047, 0},
        {{-2048, 2048, 4095}, 12, -2048, 2047, 2},   // signed: 2048 and up are outside
        {{4096, 5000, 3}, 12, 0, 4095, 2},
        {{0, 255.4, 255.6}, 8, 0, 255, 1},           // codes round to the nearest integer
        {{std::nan(""), 1}, 4, 0, 15, 1},
        {{7}, 40, 0, 65535, 0},                      // resolution limited to 16 bits
    };
    for (const Case& c : cases) {
        const CodeHistogram h = CountCodes(c.codes, c.bits);
        EXPECT_EQ(h.firstCode, c.firstCode);
        EXPECT_EQ(h.LastCode(), c.lastCode);
        EXPECT_EQ(h.outOfRange, c.outOfRange);
        EXPECT_EQ(h.inRange + h.outOfRange, std::int64_t(c.codes.size()));
    }
    EXPECT_EQ(CountCodes(std::vector<double>{-3, -3, 0, 2, 2, 2}, 3).counts,
              (std::vector<std::int64_t>{0, 2, 0, 0, 1, 0, 3, 0}));
}

TEST(SineCodeDensity, IdealConverterHasNoDnlOrInl)
{
    const CodeHistogram h = CountCodes(IdealSine8(), 8);
    ASSERT_TRUE(LooksLikeSine(h));
    const SineLinearity s = SineCodeDensity(h);
    ASSERT_TRUE(s.valid);
    EXPECT_EQ(s.firstCode, 1);   // codes 0 and 255 hold the peaks and are left out
    EXPECT_EQ(s.dnl.size(), 254u);
    EXPECT_LT(std::max(-s.dnlMin, s.dnlMax), 0.1);
    EXPECT_LT(std::max(-s.inlMin, s.inlMax), 0.1);
    EXPECT_EQ(s.missingCodes, 0);
}

TEST(SineCodeDensity, MissingCodeShowsDnlOfMinusOne)
{
    // The converter never outputs code 100; straight binary and two's complement.
    for (const double offset : {0.0, -128.0}) {
        auto codes = IdealSine8();
        for (double& c : codes)
            c = (c == 100 ? 101 : c) + offset;
        const double missing = 100 + offset;
        const SineLinearity s = SineCodeDensity(CountCodes(codes, 8));
        ASSERT_TRUE(s.valid);
        EXPECT_EQ(s.firstCode, 1 + offset);
        EXPECT_NEAR(s.dnl[std::size_t(missing - s.firstCode)], -1.0, 1e-9);
        EXPECT_NEAR(s.dnl[std::size_t(missing + 1 - s.firstCode)], 1.0, 0.1);
        EXPECT_NEAR(s.dnlMin, -1.0, 1e-9);
        EXPECT_EQ(s.missingCodes, 1);
        EXPECT_NEAR(s.inl[std::size_t(missing - s.firstCode)], -1.0, 0.1);
        EXPECT_NEAR(s.inl[std::size_t(missing + 1 - s.firstCode)], 0.0, 0.1);
    }
}

TEST(SineShape, IsToldFromRampsAndNoise)
{
    std::vector<double> ramp(8192);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = double(i % 256);
    std::vector<double> noise(8192);
    for (std::size_t i = 0; i < noise.size(); ++i)   // a triangle density: sum of two ramps
        noise[i] = double((i * 37) % 128 + (i * 91) % 128);
    EXPECT_TRUE(LooksLikeSine(CountCodes(IdealSine8(), 8)));
    EXPECT_FALSE(LooksLikeSine(CountCodes(ramp, 8)));
    EXPECT_FALSE(LooksLikeSine(CountCodes(noise, 8)));
    EXPECT_FALSE(LooksLikeSine(CountCodes(std::vector<double>(1000, 5.0), 8)));
}

} // namespace
