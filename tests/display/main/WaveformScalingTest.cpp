#include "engine/WaveformScaling.h"

#include "core/EvalError.h"

#include <gtest/gtest.h>

TEST(ConvertToVolts, StraightBinaryAndTwosComplementExamplesAndFailures)
{
    Settings s;
    s.NumberOfBits = 12;
    s.InputVMin = 0.0;
    s.InputVMax = 5.0;
    struct Case { int format; double code; double volts; };
    const Case cases[] = {
        {0, 2048, 2.5}, {0, 0, 0.0}, {0, 4095, 5.0 - 5.0 / 4096},
        {1, 0, 2.5}, {1, -2048, 0.0}, {1, 2047, 5.0 - 5.0 / 4096}, {1, -1, 2047 * 5.0 / 4096},
    };
    std::vector<double> volts;
    for (const auto& c : cases) {
        s.DataFormat = c.format;
        ConvertToVolts(s, {c.code}, volts);
        ASSERT_EQ(volts.size(), 1u);
        EXPECT_DOUBLE_EQ(volts[0], c.volts) << c.format << " " << c.code;
    }
    // No data, and codes outside 16 bits, fail.
    EXPECT_THROW(ConvertToVolts(s, {}, volts), EvalError);
    EXPECT_THROW(ConvertToVolts(s, {40000}, volts), EvalError);
}

TEST(Ranges, AllEqualBlockAndSpectrumBelowZero)
{
    EXPECT_EQ(MaxMin({7, 7, 7}), std::make_pair(7.0, 7.0));
    EXPECT_EQ(MaxMin({1, -3, 9, 2}), std::make_pair(9.0, -3.0));
    EXPECT_EQ(SpectrumTop({-10, -3, -80}), 0.0);
    EXPECT_EQ(SpectrumTop({-10, 4.5, -80}), 4.5);
}
