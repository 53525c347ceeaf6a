#include "engine/WaveformScaling.h"

#include "core/EvalError.h"

#include <gtest/gtest.h>

TEST(ConvertToVolts, StraightBinaryAndTwosComplementExamples)
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
    for (const auto& c : cases) {
        s.DataFormat = c.format;
        std::vector<double> volts;
        ConvertToVolts(s, {c.code}, volts);
        ASSERT_EQ(volts.size(), 1u);
        EXPECT_DOUBLE_EQ(volts[0], c.volts) << c.format << " " << c.code;
    }
}

TEST(ConvertToVolts, OffsetMappingOfSignedCodes)
{
    Settings s;
    s.NumberOfBits = 12;
    s.InputVMax = 4096;   // one volt per step shows the offset code itself
    s.DataFormat = 1;
    std::vector<double> volts;
    ConvertToVolts(s, {2047, 0, -1, -2048}, volts);
    EXPECT_EQ(volts, (std::vector<double>{4095, 2048, 2047, 0}));
}

TEST(ConvertToVolts, FailsOnNoDataAndCodesOutside16Bits)
{
    Settings s;
    s.NumberOfBits = 12;
    std::vector<double> volts{1.0};
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
