#include "board/Converter.h"

#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

// The converter part and its input signal, without the board around it.

namespace {

// One block at 100 kHz; the 12 code bits, or with mask 0xFFFF the whole bus.
std::vector<double> Codes(SimulatedConverter& adc, int n, int mask = 0xFFF)
{
    std::vector<std::uint16_t> values(std::size_t(n), 0);
    adc.Convert(n, 100000, {true, true, true}, values.data());
    std::vector<double> codes;
    for (std::uint16_t v : values)
        codes.push_back(v & mask);
    return codes;
}

} // namespace

TEST(Converter, DefaultIsTheKv2680TwelveBitStraightBinaryWithJunkUpperBits)
{
    SimulatedConverter adc, same;
    EXPECT_EQ(Codes(adc, 256, 0xFFFF), Codes(same, 256, 0xFFFF)) << "the same seed gives the same blocks";
    same.Reseed();   // back to the first block, which the next one differs from
    EXPECT_NE(Codes(adc, 256, 0xFFFF), Codes(same, 256, 0xFFFF));
    SimulatedConverter binary, twos;
    twos.SetFormat(CodeFormat::TwosComplement);
    const auto values = Codes(binary, 8192, 0xFFFF), twosValues = Codes(twos, 8192);
    int junk = 0, lo = 4096, hi = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int v = int(values[i]);
        junk |= v & 0xF000;
        lo = std::min(lo, v & 0xFFF);
        hi = std::max(hi, v & 0xFFF);
        ASSERT_EQ((v ^ 0x800) & 0xFFF, twosValues[i]) << "two's complement: the top bit inverted";
    }
    EXPECT_EQ(junk, 0xF000) << "the unused upper bits carry junk";
    EXPECT_NEAR(lo, 2047.5 - 0.95 * 2048, 4);
    EXPECT_NEAR(hi, 2047.5 + 0.95 * 2048, 4);
}

TEST(Converter, FixedGeneratorFrequencyAndRawCodes)
{
    SimulatedConverter adc;
    adc.Input().frequencyHz = 25000;   // overrides the ratio: fs / 4 repeats every 4 samples
    adc.Input().noiseLsbRms = 0;
    adc.Input().phase = 0.3;
    const auto x = Codes(adc, 8);
    EXPECT_TRUE(x[0] != x[1] && std::equal(x.begin(), x.begin() + 4, x.begin() + 4));

    // Raw codes repeat in order across blocks.
    adc.SetRawCodes({1, 2, 3});
    EXPECT_EQ(Codes(adc, 4), (std::vector<double>{1, 2, 3, 1}));
    EXPECT_EQ(Codes(adc, 2), (std::vector<double>{2, 3}));
}
