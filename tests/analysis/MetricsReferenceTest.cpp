// Every figure the analysis shows as valid against the reference from the textbook
// definitions (SineFitReference.h): within 0.1 dB (ENOB within 0.02 bit), or invalid with
// a reason. Two-tone IMD3 within 0.2 dB of the level put into the block.
#include "SineFitReference.h"
#include "analysis/SpectrumAnalyzer.h"

#include <gtest/gtest.h>

#include <numbers>
#include <random>
#include <string>

namespace {

using W = WindowKind;

struct Component {
    double cycles;   // per block; for a harmonic: its order times the tone's
    double dbc;      // relative to the tone
};

struct Block {
    int bits = 12;
    std::size_t n = 8192;
    double cycles = 1001;      // 1001 of 8192: coherent
    double dbfs = -1;
    double noiseLsb = 0.5;     // added before rounding, rms
    std::vector<Component> harmonics = {};   // order, dBc
    std::vector<Component> spurs = {};
    double offsetLsb = 0;
    Component secondTone = {0, 0};           // cycles and dBFS; 0 cycles: none
    double imd3Dbc = 0;                      // each of the four third-order products; 0: none
    bool constant = false;
};

double Amplitude(int bits, double dbfs)
{
    return std::ldexp(1.0, bits - 1) * std::pow(10, dbfs / 20);
}

std::vector<Component> ThirdOrderProducts(const Block& b)
{
    if (b.secondTone.cycles == 0 || b.imd3Dbc == 0)
        return {};
    const double f1 = b.cycles, f2 = b.secondTone.cycles;
    return {{2 * f1 - f2, b.imd3Dbc}, {2 * f2 - f1, b.imd3Dbc}, {2 * f1 + f2, b.imd3Dbc}, {2 * f2 + f1, b.imd3Dbc}};
}

std::vector<double> Codes(const Block& b, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0, b.noiseLsb);
    const double mid = std::ldexp(1.0, b.bits - 1) - 0.5, top = std::ldexp(1.0, b.bits) - 1;
    const double a = Amplitude(b.bits, b.dbfs);
    std::vector<Component> extra = b.spurs;
    for (const Component& h : b.harmonics)
        extra.push_back({h.cycles * b.cycles, h.dbc});
    for (const Component& p : ThirdOrderProducts(b))
        extra.push_back(p);
    std::vector<double> codes(b.n);
    for (std::size_t i = 0; i < b.n; ++i) {
        const auto phase = [&](double cycles, double offset) {
            return 2 * std::numbers::pi * std::fmod(cycles * double(i), double(b.n)) / double(b.n) + offset;
        };
        double x = b.constant ? 0.0 : a * std::sin(phase(b.cycles, 0.3));
        for (std::size_t j = 0; j < extra.size(); ++j)
            x += a * std::pow(10, extra[j].dbc / 20) * std::sin(phase(extra[j].cycles, 1.1 + double(j)));
        if (b.secondTone.cycles > 0)
            x += Amplitude(b.bits, b.secondTone.dbc) * std::sin(phase(b.secondTone.cycles, 2.0));
        codes[i] = std::clamp(std::round(mid + b.offsetLsb + x + noise(rng)), 0.0, top);
    }
    return codes;
}

double Db(double ratio)
{
    return 10 * std::log10(ratio);
}

// The reference figures of a one-tone block.
struct Figures {
    double signal, snr, sinad, thd, sfdr, enob, noise;
};

Figures Reference(const Block& b, const std::vector<double>& codes, W window, int highest)
{
    std::vector<double> cycles{b.cycles};
    for (int h = 2; h <= highest; ++h)
        cycles.push_back(h * b.cycles);
    for (const Component& s : b.spurs)
        cycles.push_back(s.cycles);
    const double fs = std::ldexp(1.0, b.bits - 1);
    const reference::Fit fit = reference::FitSines(codes, cycles, fs);
    const auto w = reference::WindowSamples(int(window), b.n);
    const double signal = fit.power[0];
    double distortion = 0, worst = 0, spurs = 0;
    for (std::size_t c = 1; c < cycles.size(); ++c) {
        (c < std::size_t(highest) ? distortion : spurs) += fit.power[c];
        worst = std::max(worst, fit.power[c]);
    }
    // Spurs are noise at their own power; the rest of the residual is noise too.
    const double noise = reference::NoisePower(fit.residual, w, fs) + spurs;
    worst = std::max(worst, reference::LargestResidualComponent(fit.residual, w, fs, MainLobeHalfWidth(window)));
    const double sinad = Db(signal / (noise + distortion));
    return {Db(signal), Db(signal / noise), sinad, Db(distortion / signal), Db(signal / worst),
            (sinad - Db(signal) - 1.76) / 6.02, Db(noise)};
}

enum Figure { Signal, Snr, Sinad, Thd, Sfdr, Enob, Noise, FigureCount };
constexpr const char* FigureNames[] = {"signal", "SNR", "SINAD", "THD", "SFDR", "ENOB", "noise"};
constexpr unsigned Bit(Figure f) { return 1u << f; }
constexpr unsigned Ordinary = Bit(Signal) | Bit(Snr) | Bit(Sinad) | Bit(Enob) | Bit(Noise);
constexpr unsigned All = (1u << FigureCount) - 1;

const Metric& Shown(const DynamicMetrics& m, Figure f)
{
    const Metric* shown[] = {&m.signalDbfs, &m.snrDb, &m.sinadDb, &m.thdDb, &m.sfdrDb, &m.enob, &m.noiseDbfs};
    return *shown[f];
}

struct Case {
    const char* what;
    Block block;
    W window = W::BlackmanHarris4;
    int harmonics = 5;
    unsigned mustBeValid = Ordinary;
    unsigned mustBeInvalid = 0;
    const char* reason = "";   // part of each must-be-invalid figure's reason
};

DynamicMetrics Analyse(const std::vector<double>& codes, int bits, W window, int harmonics)
{
    SpectrumAnalyzer a;
    a.SetResolution(bits);
    a.SetWindow(window);
    a.SetHarmonics(harmonics);
    a.Analyse(codes);
    return a.Metrics();
}

TEST(MetricsAgainstSineFit, EveryValidFigureWithinATenthOfADecibel)
{
    const double between = 1000.37;
    const Case cases[] = {
        {"12 bits coherent -1 dBFS", {}},
        {"8 bits coherent", {.bits = 8}},
        {"10 bits coherent", {.bits = 10}},
        {"14 bits coherent", {.bits = 14}},
        {"16 bits coherent BH7", {.bits = 16}, W::BlackmanHarris7},
        {"16 bits coherent BH4", {.bits = 16}},
        {"12 bits 0 dBFS less half an LSB", {.dbfs = -0.005, .noiseLsb = 0.3}},
        {"12 bits -6 dBFS", {.dbfs = -6}},
        {"12 bits -20 dBFS", {.dbfs = -20}},
        {"12 bits -40 dBFS", {.dbfs = -40}},
        {"16 bits -60 dBFS BH7", {.bits = 16, .dbfs = -60}, W::BlackmanHarris7},
        {"8 bits -60 dBFS: tone in the noise", {.bits = 8, .dbfs = -60}, W::BlackmanHarris4, 5, 0},
        {"12 bits between bins BH4", {.cycles = between}, W::BlackmanHarris4, 5, Bit(Signal)},
        {"16 bits between bins BH4: leakage", {.bits = 16, .cycles = between}, W::BlackmanHarris4, 5, Bit(Signal),
         Bit(Snr) | Bit(Sinad) | Bit(Enob), "leakage"},
        {"16 bits between bins BH7", {.bits = 16, .cycles = between}, W::BlackmanHarris7},
        {"8 bits between bins flat top", {.bits = 8, .cycles = between}, W::FlatTop},
        {"12 bits between bins Hann: leakage", {.cycles = between}, W::Hann, 5, Bit(Signal),
         Bit(Snr) | Bit(Sinad) | Bit(Enob), "leakage"},
        {"12 bits between bins rectangular: leakage", {.cycles = between}, W::Rectangular, 5, Bit(Signal),
         Bit(Snr) | Bit(Sinad) | Bit(Enob), "leakage"},
        {"12 bits coherent rectangular", {}, W::Rectangular},
        {"12 bits coherent Hann", {}, W::Hann},
        {"12 bits coherent flat top", {}, W::FlatTop},
        {"12 bits coherent BH7", {}, W::BlackmanHarris7},
        {"harmonics -60 and -65 dBc", {.harmonics = {{2, -60}, {3, -65}}}, W::BlackmanHarris4, 5, Ordinary | Bit(Thd)},
        {"harmonics -50 dBc, 10 bits", {.bits = 10, .harmonics = {{2, -50}, {5, -55}}}, W::BlackmanHarris4, 5,
         Ordinary | Bit(Thd) | Bit(Sfdr)},
        {"harmonic 3 cut by Nyquist", {.cycles = 1365, .harmonics = {{3, -55}}}, W::BlackmanHarris4, 5,
         Bit(Signal) | Bit(Snr), Bit(Thd) | Bit(Sinad) | Bit(Enob), "harmonic 3 too near Nyquist"},
        {"harmonic 3 folds onto DC", {.cycles = 2731, .harmonics = {{3, -55}}}, W::BlackmanHarris4, 5,
         Bit(Signal) | Bit(Snr), Bit(Thd) | Bit(Sinad) | Bit(Enob), "folds onto"},
        {"harmonics between bins, BH7, 14 bits", {.bits = 14, .cycles = 777.77, .harmonics = {{2, -70}, {3, -72}}},
         W::BlackmanHarris7, 5, Ordinary | Bit(Thd)},
        {"harmonics below the noise", {.bits = 8, .harmonics = {{2, -75}}}, W::BlackmanHarris4, 5, Ordinary,
         Bit(Thd), "harmonics below the noise"},
        {"spur -60 dBc, 1024 samples, 25 harmonics", {.n = 1024, .cycles = 101, .spurs = {{252.5, -60}}},
         W::BlackmanHarris4, 25, Bit(Signal) | Bit(Snr) | Bit(Sinad)},
        {"spur -60 dBc between bins", {.cycles = between, .spurs = {{2345.5, -60}}}, W::BlackmanHarris4, 5,
         Bit(Signal) | Bit(Sfdr)},
        {"spur -70 dBc, 14 bits BH7", {.bits = 14, .spurs = {{3210.25, -70}}}, W::BlackmanHarris7, 5,
         Ordinary | Bit(Sfdr)},
        {"two spurs, Hann coherent", {.spurs = {{1500.5, -55}, {2500, -65}}}, W::Hann, 5, Ordinary | Bit(Sfdr)},
        {"DC offset 100 LSB", {.dbfs = -3, .offsetLsb = 100}},
        {"DC offset -30 LSB, 8 bits", {.bits = 8, .dbfs = -3, .offsetLsb = -30}},
        {"clipped", {.dbfs = 1}, W::BlackmanHarris4, 5, 0, All, "clipping"},
        {"clipped 8 bits", {.bits = 8, .dbfs = 2}, W::BlackmanHarris4, 5, 0, All, "clipping"},
        {"constant block", {.noiseLsb = 0, .constant = true}, W::BlackmanHarris4, 5, 0, All, "no tone found"},
        {"noise only", {.noiseLsb = 3, .constant = true}, W::BlackmanHarris4, 5, 0, All, "no tone found"},
        {"noise only, rectangular", {.noiseLsb = 3, .constant = true}, W::Rectangular, 5, 0, All, "no tone found"},
        {"4096 samples, 12 bits", {.n = 4096, .cycles = 501}},
        {"2048 samples, 16 bits BH7", {.bits = 16, .n = 2048, .cycles = 201}, W::BlackmanHarris7, 5,
         Bit(Signal) | Bit(Snr) | Bit(Noise)},
        {"1024 samples, 10 bits Hann", {.bits = 10, .n = 1024, .cycles = 101}, W::Hann, 5,
         Bit(Signal) | Bit(Snr) | Bit(Noise)},
        {"no noise, 16 bits coherent", {.bits = 16, .noiseLsb = 0}, W::BlackmanHarris7},
        {"heavy noise, 12 bits", {.noiseLsb = 8}},
        {"low tone 8192 samples, 14 bits", {.bits = 14, .dbfs = -50}, W::BlackmanHarris7},
        {"tone near the top, 12 bits", {.cycles = 4001}},
        {"tone near DC", {.cycles = 3}, W::BlackmanHarris4, 5, 0, All - Bit(Noise), "tone too near DC"},
        {"tone near Nyquist", {.cycles = 4093}, W::BlackmanHarris4, 5, 0, All - Bit(Noise), "tone too near Nyquist"},
    };
    int validShown = 0;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const auto codes = Codes(c.block, unsigned(1000 + i));
        const DynamicMetrics m = Analyse(codes, c.block.bits, c.window, c.harmonics);
        const Figures ref = Reference(c.block, codes, c.window, c.harmonics);
        const double expected[] = {ref.signal, ref.snr, ref.sinad, ref.thd, ref.sfdr, ref.enob, ref.noise};
        for (int f = 0; f < FigureCount; ++f) {
            const Metric& shown = Shown(m, Figure(f));
            const std::string where = std::string(c.what) + ": " + FigureNames[f] + " " + shown.reason;
            if ((c.mustBeValid & Bit(Figure(f))) != 0) {
                EXPECT_TRUE(shown.Valid()) << where;
            }
            if ((c.mustBeInvalid & Bit(Figure(f))) != 0) {
                EXPECT_NE(shown.reason.find(c.reason), std::string::npos) << where;
            }
            if (!shown.Valid())
                continue;
            ++validShown;
            EXPECT_NEAR(shown.value, expected[f], f == Enob ? 0.02 : 0.1) << where;
        }
        // The noise density at 1 MHz: the noise over 500 kHz.
        const Metric nsd = NoiseSpectralDensity(m, 1e6);
        EXPECT_TRUE(!nsd.Valid() || std::abs(nsd.value - (ref.noise - Db(5e5))) < 0.1) << c.what;
        EXPECT_EQ(nsd.Valid(), m.noiseDbfs.Valid()) << c.what;
    }
    EXPECT_GT(validShown, 150);
    DynamicMetrics known;
    known.noiseDbfs = {-70, {}};
    EXPECT_EQ(NoiseSpectralDensity(known, 0).reason, "sample rate unknown");
}

TEST(MetricsAgainstSineFit, TwoTonesGiveEachToneAndTheThirdOrderProducts)
{
    struct TwoToneCase { int bits; double dbfs, imd3Dbc; double f1, f2; W window; };
    const TwoToneCase cases[] = {
        {12, -7, -66, 1001, 1101, W::BlackmanHarris4},  {14, -10, -76, 1501, 1601, W::BlackmanHarris7},
        {16, -20, -80, 801, 851, W::BlackmanHarris7},   {12, -13, -60, 2001.3, 2113.6, W::BlackmanHarris4},
        {16, -7, -90, 1201.4, 1313.2, W::BlackmanHarris7},
    };
    for (const TwoToneCase& c : cases) {
        const Block b{.bits = c.bits, .cycles = c.f1, .dbfs = c.dbfs, .secondTone = {c.f2, c.dbfs}, .imd3Dbc = c.imd3Dbc};
        const auto codes = Codes(b, 7);
        const DynamicMetrics m = Analyse(codes, c.bits, c.window, 5);
        const std::string where = std::to_string(c.bits) + " bits, tones at " + std::to_string(c.dbfs) + " dBFS";
        ASSERT_TRUE(m.twoTone.found) << where;
        const TwoToneMetrics& t = m.twoTone;
        // Four products of equal level sum to 6 dB above each.
        EXPECT_TRUE(t.imd3Dbc.Valid()) << where << ": " << t.imd3Dbc.reason;
        EXPECT_NEAR(t.imd3Dbc.value, c.imd3Dbc + Db(4), 0.2) << where;
        EXPECT_NEAR(t.imd3Dbfs.value, c.imd3Dbc + Db(4) + c.dbfs, 0.2) << where;
        EXPECT_FALSE(t.imd2Dbc.Valid()) << where;   // none put in: below the noise
        EXPECT_NEAR(t.tone1Bin.value, c.f1, 0.01) << where;
        EXPECT_NEAR(t.tone2Bin.value, c.f2, 0.01) << where;
        const double fs = std::ldexp(1.0, c.bits - 1);
        const auto fit = reference::FitSines(codes, {c.f1, c.f2}, fs);
        EXPECT_NEAR(t.tone1Dbfs.value, Db(fit.power[0]), 0.1) << where;
        EXPECT_NEAR(t.tone2Dbfs.value, Db(fit.power[1]), 0.1) << where;
        EXPECT_FALSE(m.thdDb.Valid() || m.snrDb.Valid()) << where;
        ASSERT_EQ(t.products.size(), 6u);
        EXPECT_NEAR(t.products[2].bin, 2 * c.f1 - c.f2, 0.05) << where;
    }
}

} // namespace
