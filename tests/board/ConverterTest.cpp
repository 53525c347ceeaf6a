#include "board/Converter.h"

#include <cmath>
#include <numeric>

#include <gtest/gtest.h>

// The converter part and its input signal, without the board around it.

namespace {

constexpr PartSupply kOn{true, true, true};
constexpr double kTwoPi = 6.283185307179586;

std::vector<std::uint16_t> Block(SimulatedConverter& adc, int n, double fs = 100000, PartSupply supply = kOn)
{
    std::vector<std::uint16_t> out(std::size_t(n), 0);
    adc.Convert(n, fs, supply, out.data());
    return out;
}

std::vector<double> Codes(const std::vector<std::uint16_t>& values, int bits)
{
    std::vector<double> out;
    for (std::uint16_t v : values)
        out.push_back(v & ((1 << bits) - 1));
    return out;
}

// Amplitude of the component at `cycles` cycles per block (coherent sampling).
double Amplitude(const std::vector<double>& x, double cycles)
{
    double re = 0, im = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double a = kTwoPi * cycles * double(i) / double(x.size());
        re += x[i] * std::cos(a);
        im += x[i] * std::sin(a);
    }
    return 2.0 * std::hypot(re, im) / double(x.size());
}

} // namespace

TEST(Converter, DefaultIsTheKv2680TwelveBitStraightBinaryWithJunkUpperBits)
{
    SimulatedConverter adc, same;
    EXPECT_EQ(Block(adc, 256), Block(same, 256)) << "the same seed gives the same blocks";
    same.Reseed();
    EXPECT_NE(Block(adc, 256), Block(same, 256));
    EXPECT_EQ(adc.Bits(), 12);
    EXPECT_EQ(adc.Format(), CodeFormat::StraightBinary);
    const auto values = Block(adc, 8192);
    int junk = 0;
    for (std::uint16_t v : values)
        junk |= v & 0xF000;
    EXPECT_EQ(junk, 0xF000) << "the unused upper bits carry junk";
    const auto codes = Codes(values, 12);
    const auto [lo, hi] = std::minmax_element(codes.begin(), codes.end());
    EXPECT_NEAR(*lo, 2047.5 - 0.95 * 2048, 4);
    EXPECT_NEAR(*hi, 2047.5 + 0.95 * 2048, 4);
}

TEST(Converter, TwosComplementIsOffsetBinaryWithTheTopBitInverted)
{
    SimulatedConverter binary, twos;
    twos.SetFormat(CodeFormat::TwosComplement);
    const auto b = Block(binary, 1024), t = Block(twos, 1024);
    for (std::size_t i = 0; i < b.size(); ++i)
        ASSERT_EQ((b[i] ^ 0x800) & 0xFFF, t[i] & 0xFFF) << i;
}

TEST(Converter, ToneHarmonicsAndNoiseAsSpecified)
{
    SimulatedConverter adc;
    const int n = 8192;
    const double cycles = 101;   // coherent, so each component falls in one bin
    adc.Input().frequencyRatio = cycles / n;
    const auto x = Codes(Block(adc, n), 12);
    const double fullScale = 2048;
    EXPECT_NEAR(Amplitude(x, cycles) / fullScale, 0.95, 0.001);
    EXPECT_NEAR(20 * std::log10(Amplitude(x, 2 * cycles) / fullScale), -70, 1.5);
    EXPECT_NEAR(20 * std::log10(Amplitude(x, 3 * cycles) / fullScale), -75, 2.5);

    // Noise alone, on an exact code: 0.5 LSB rms plus what the quantiser adds.
    SimulatedConverter quiet;
    quiet.Input().amplitude = 0;
    quiet.Input().harmonic2Dbfs = quiet.Input().harmonic3Dbfs = -400;
    quiet.Input().offset = 0.5 / 2048;   // mid-scale is 2047.5: move onto code 2048
    const auto q = Codes(Block(quiet, n), 12);
    const double mean = std::accumulate(q.begin(), q.end(), 0.0) / n;
    double var = 0;
    for (double v : q)
        var += (v - mean) * (v - mean);
    EXPECT_NEAR(mean, 2048, 0.05);
    EXPECT_NEAR(std::sqrt(var / n), std::sqrt(0.25 + 1.0 / 12), 0.03);
}

TEST(Converter, TheDefaultToneIsNotASubMultipleOfTheSampleRate)
{
    SimulatedConverter adc;
    const double ratio = 1.0 / adc.Input().frequencyRatio;
    EXPECT_GT(std::fabs(ratio - std::round(ratio)), 0.1);
    // A fixed generator frequency in Hz overrides the ratio: fs / 4 repeats every 4 samples.
    adc.Input().frequencyHz = 25000;
    adc.Input().noiseLsbRms = 0;
    adc.Input().phase = 0.3;
    const auto x = Codes(Block(adc, 12, 100000), 12);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(x[i], x[i + 4]) << i;
        EXPECT_EQ(x[i], x[i + 8]) << i;
    }
    EXPECT_NE(x[0], x[1]);
}

TEST(Converter, SuppliesAndSwitchesGiveConstantCodes)
{
    // Bus switches open: the bus floats high; AVDD or DVDD off: the outputs are low.
    struct Case { PartSupply supply; std::uint16_t mask, code; };
    for (const Case& c : {Case{{false, true, true}, 0xFFFF, 0xFFFF}, Case{{true, false, true}, 0xFFF, 0},
                          Case{{true, true, false}, 0xFFF, 0}}) {
        SimulatedConverter adc;
        for (std::uint16_t v : Block(adc, 256, 100000, c.supply))
            ASSERT_EQ(v & c.mask, c.code);
    }
}

TEST(Converter, RawCodesRepeatInOrderAcrossBlocksAndTheSignalRunsOn)
{
    SimulatedConverter adc;
    adc.SetRawCodes({1, 2, 3});
    EXPECT_EQ(Block(adc, 4), (std::vector<std::uint16_t>{1, 2, 3, 1}));
    EXPECT_EQ(Block(adc, 2), (std::vector<std::uint16_t>{2, 3}));
    adc.SetRawCodes({});
    EXPECT_NE(Block(adc, 2), (std::vector<std::uint16_t>{1, 2}));

    SimulatedConverter one, two;
    one.Input().noiseLsbRms = two.Input().noiseLsbRms = 0;
    const auto whole = Codes(Block(one, 512), 12);
    auto parts = Codes(Block(two, 256), 12);
    const auto second = Codes(Block(two, 256), 12);
    parts.insert(parts.end(), second.begin(), second.end());
    for (std::size_t i = 0; i < whole.size(); ++i)
        ASSERT_NEAR(whole[i], parts[i], 1) << i;
}
