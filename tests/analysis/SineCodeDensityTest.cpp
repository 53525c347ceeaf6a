#include "TestSignals.h"
#include "analysis/SineCodeDensity.h"
#include "board/Converter.h"

#include <gtest/gtest.h>

namespace {

TEST(CodeRange, FollowsTheSignOfTheCodesAndCountsEachCodeInItsBin)
{
    struct Case { std::vector<double> codes; int bits, firstCode, lastCode; std::int64_t outOfRange; };
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

enum class Fault { None, MissingCode, StuckBit };

// By default overdriven a little, so both end codes fill.
struct LinearityCase { const char* what; Fault fault; CodeFormat format = CodeFormat::StraightBinary; double amplitude = 1.02; };

constexpr int Bits = 12;
constexpr int MissingCode = 1000;      // in offset binary
constexpr int StuckBit = 1 << 4;       // stuck at one

// One block of the simulated 12-bit part with its generator running freely between
// blocks, read as signed codes in two's complement, with the fault applied.
std::vector<double> ConverterBlock(SimulatedConverter& adc, Fault fault)
{
    constexpr int n = 8192;
    std::vector<std::uint16_t> raw(n);
    adc.Convert(n, 1e8, {true, true, true}, raw.data());
    const bool signedCodes = adc.Format() == CodeFormat::TwosComplement;
    std::vector<double> codes(n);
    for (int i = 0; i < n; ++i) {
        int offsetBinary = (raw[std::size_t(i)] & 0xFFF) ^ (signedCodes ? 0x800 : 0);
        if (fault == Fault::MissingCode && offsetBinary == MissingCode)
            offsetBinary += 1;
        if (fault == Fault::StuckBit)
            offsetBinary |= StuckBit;
        codes[std::size_t(i)] = signedCodes ? offsetBinary - 2048 : offsetBinary;
    }
    return codes;
}

TEST(SineCodeDensity, AccumulatedOverBlocksOfTheSimulatedPart)
{
    const LinearityCase cases[] = {
        {"ideal", Fault::None},
        {"ideal, sine short of both ends", Fault::None, CodeFormat::StraightBinary, 0.9},
        {"missing code", Fault::MissingCode, CodeFormat::TwosComplement},
        {"bit 4 stuck at one", Fault::StuckBit},
    };
    for (const LinearityCase& c : cases) {
        SimulatedConverter adc;
        adc.SetBits(Bits);
        adc.SetFormat(c.format);
        adc.SetRealTimeGenerator(true);
        adc.Input().amplitude = c.amplitude;
        adc.Input().harmonic2Dbfs = adc.Input().harmonic3Dbfs = -300;
        adc.Input().frequencyHz = 101 * 1e8 / 8192;   // whole cycles: each block sees every phase
        CodeHistogramAccumulator sum;
        SineLinearity s;
        for (int block = 0; block < 200 && s.leastExpectedHits < 64; ++block) {
            sum.Add(ConverterBlock(adc, c.fault), Bits);
            s = SineCodeDensity(sum.Histogram());
            if (block == 0) {
                EXPECT_FALSE(s.enoughHits) << c.what;   // one block gives a few hits per code
            }
        }
        ASSERT_TRUE(s.valid && s.enoughHits) << c.what;
        EXPECT_GE(s.leastExpectedHits, 64.0);
        EXPECT_LE(s.uncertaintyLsb, 0.125);
        EXPECT_EQ(s.reachesBothEnds, c.amplitude > 1 && c.fault != Fault::StuckBit) << c.what;
        const int offset = c.format == CodeFormat::TwosComplement ? -2048 : 0;
        for (std::size_t i = 0; i < s.dnl.size(); ++i) {
            const int code = s.firstCode + int(i) - offset;
            const bool missing = (c.fault == Fault::MissingCode && code == MissingCode)
                || (c.fault == Fault::StuckBit && !(code & StuckBit));
            EXPECT_TRUE(missing ? s.dnl[i] == -1.0 : s.dnl[i] > -0.5) << c.what << " code " << code << ": " << s.dnl[i];
            if (c.fault == Fault::None) {
                ASSERT_LT(std::abs(s.inl[i]), 0.5) << c.what << " code " << code;
            }
        }
        // Short of the ends, the sine turns near code 2047.5 - 0.9 x 2048 = 204.3.
        if (c.fault == Fault::None) {
            EXPECT_NEAR(s.firstCode - offset, c.amplitude > 1 ? 1 : 205, c.amplitude > 1 ? 0 : 1) << c.what;
        }
    }
}

TEST(SineShape, IsToldFromRampsNoiseAndAConstant)
{
    std::vector<double> ramp(8192), noise(8192);
    for (std::size_t i = 0; i < noise.size(); ++i)   // a triangle density: sum of two ramps
        noise[i] = double((i * 37) % 128 + (i * 91) % 128), ramp[i] = double(i % 256);
    const SineLinearity fromRamp = SineCodeDensity(CountCodes(ramp, 8));
    EXPECT_FALSE(fromRamp.valid);
    EXPECT_EQ(fromRamp.reason, "the codes are not spread like a sine");
    EXPECT_FALSE(LooksLikeSine(CountCodes(noise, 8)));
    EXPECT_FALSE(LooksLikeSine(CountCodes(std::vector<double>(1000, 5.0), 8)));
}

} // namespace
