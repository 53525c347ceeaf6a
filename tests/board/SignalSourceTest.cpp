#include "board/SignalSource.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

TEST(SignalSource, ListsSetTheInputOrSayWhatIsWrong)
{
    struct Case { const char* list; double hz, amplitude, tone2Hz, amplitude2, noise, h2; const char* error = ""; };
    const InputSignal d;
    const Case cases[] = {
        {"", d.frequencyHz, d.amplitude, 0, 0, d.noiseLsbRms, d.harmonic2Dbfs},
        {"tone=1230,level=-20", 1230, 0.1, 0, 0, d.noiseLsbRms, d.harmonic2Dbfs},
        {"TONE=1000,level=-7,tone2=1100", 1000, std::pow(10, -7 / 20.0), 1100, std::pow(10, -7 / 20.0), d.noiseLsbRms, d.harmonic2Dbfs},
        {"level=-1,tone2=900,level2=-20,noise=2,h2=-90", d.frequencyHz, std::pow(10, -1 / 20.0), 900, 0.1, 2, -90},
        {"tone=0", 0, 0, 0, 0, 0, 0, "\"tone\" needs a valid value"},
        {"level=3", 0, 0, 0, 0, 0, 0, "\"level\" needs a valid value"},
        {"pitch=5", 0, 0, 0, 0, 0, 0, "Unknown signal setting \"pitch\""},
        {"tone2=900", 0, 0, 0, 0, 0, 0, "exceed full scale"},
    };
    for (const Case& c : cases) {
        QString error;
        const auto s = ParseSignalSource(QString::fromLatin1(c.list), &error);
        ASSERT_EQ(s.has_value(), !*c.error) << c.list;
        if (!s) {
            EXPECT_TRUE(error.contains(QLatin1String(c.error))) << c.list << ": " << error.toStdString();
            continue;
        }
        const double got[] = {s->frequencyHz, s->amplitude, s->tone2Hz, s->amplitude2, s->noiseLsbRms, s->harmonic2Dbfs};
        const double want[] = {c.hz, c.amplitude, c.tone2Hz, c.amplitude2, c.noise, c.h2};
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(got[i], want[i], 1e-12) << c.list << " #" << i;
    }
}

TEST(SignalSource, TheSecondToneReachesTheCodes)
{
    SimulatedConverter adc;
    adc.Input() = *ParseSignalSource("tone=1000,level=-7,tone2=3000,noise=0");
    std::vector<std::uint16_t> codes(4096);
    adc.Convert(4096, 102400, {true, true, true}, codes.data());
    // The amplitude of each tone by correlation: 1000 and 3000 Hz are 40 and 120 cycles.
    for (const double cycles : {40.0, 120.0}) {
        double re = 0, im = 0;
        for (std::size_t i = 0; i < codes.size(); ++i) {
            const double phase = 2 * std::numbers::pi * cycles * double(i) / 4096.0;
            re += (codes[i] & 0xFFF) * std::cos(phase);
            im += (codes[i] & 0xFFF) * std::sin(phase);
        }
        EXPECT_NEAR(2 * std::hypot(re, im) / 4096.0 / 2048.0, std::pow(10, -7 / 20.0), 0.01) << cycles;
    }
}
