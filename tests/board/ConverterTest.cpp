#include "board/Converter.h"

#include <algorithm>
#include <cmath>
#include <numeric>

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

// Amplitude of the component at `cycles` cycles per block (coherent sampling).
double Amplitude(const std::vector<double>& x, double cycles)
{
    double re = 0, im = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double a = 6.283185307179586 * cycles * double(i) / double(x.size());
        re += x[i] * std::cos(a);
        im += x[i] * std::sin(a);
    }
    return 2.0 * std::hypot(re, im) / double(x.size()) / 2048;   // relative to full scale
}

} // namespace

TEST(Converter, DefaultIsTheKv2680TwelveBitStraightBinaryWithJunkUpperBits)
{
    SimulatedConverter adc, same;
    EXPECT_EQ(Codes(adc, 256, 0xFFFF), Codes(same, 256, 0xFFFF)) << "the same seed gives the same blocks";
    same.Reseed();   // back to the first block, which the next one differs from
    EXPECT_NE(Codes(adc, 256, 0xFFFF), Codes(same, 256, 0xFFFF));
    EXPECT_EQ(adc.Bits(), 12);
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

TEST(Converter, ToneHarmonicsAndNoise)
{
    SimulatedConverter adc;
    const int n = 8192;
    const double cycles = 101;   // coherent, so each component falls in one bin
    adc.Input().frequencyRatio = cycles / n;
    const auto x = Codes(adc, n);
    EXPECT_NEAR(Amplitude(x, cycles), 0.95, 0.001);
    EXPECT_NEAR(20 * std::log10(Amplitude(x, 2 * cycles)), -70, 1.5);
    EXPECT_NEAR(20 * std::log10(Amplitude(x, 3 * cycles)), -75, 2.5);

    // Noise alone, on an exact code: 0.5 LSB rms plus what the quantiser adds.
    SimulatedConverter quiet;
    quiet.Input().amplitude = 0;
    quiet.Input().harmonic2Dbfs = quiet.Input().harmonic3Dbfs = -400;
    quiet.Input().offset = 0.5 / 2048;   // mid-scale is 2047.5: move onto code 2048
    const auto q = Codes(quiet, n);
    const double mean = std::accumulate(q.begin(), q.end(), 0.0) / n;
    double var = 0;
    for (double v : q)
        var += (v - mean) * (v - mean);
    EXPECT_NEAR(mean, 2048, 0.05);
    EXPECT_NEAR(std::sqrt(var / n), std::sqrt(0.25 + 1.0 / 12), 0.03);
}

TEST(Converter, FixedGeneratorFrequencyAndRawCodes)
{
    SimulatedConverter adc;
    adc.Input().frequencyHz = 25000;   // overrides the ratio: fs / 4 repeats every 4 samples
    adc.Input().noiseLsbRms = 0;
    adc.Input().phase = 0.3;
    const auto x = Codes(adc, 8);
    EXPECT_TRUE(x[0] != x[1] && std::equal(x.begin(), x.begin() + 4, x.begin() + 4));

    // Raw codes repeat in order across blocks; the signal runs on between blocks.
    adc.SetRawCodes({1, 2, 3});
    EXPECT_EQ(Codes(adc, 4), (std::vector<double>{1, 2, 3, 1}));
    EXPECT_EQ(Codes(adc, 2), (std::vector<double>{2, 3}));
    SimulatedConverter one, two;
    one.Input().noiseLsbRms = two.Input().noiseLsbRms = 0;
    const auto whole = Codes(one, 512);
    auto parts = Codes(two, 256);
    const auto second = Codes(two, 256);
    parts.insert(parts.end(), second.begin(), second.end());
    for (std::size_t i = 0; i < whole.size(); ++i)
        ASSERT_NEAR(whole[i], parts[i], 1) << i;
}
