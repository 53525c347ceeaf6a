#include "config/ClockSettings.h"
#include "core/EvalError.h"

#include <gtest/gtest.h>

namespace {

// A 40 MHz crystal, then the frequency f; the period as "high/low".
struct Clock : ClockSettings {
    explicit Clock(std::int32_t f = 100000)
    {
        SetCrystalFrequency(40000000);
        SetSampleFrequency(f);
    }
    std::string Period() const { return std::to_string(TPeriodHigh()) + "/" + std::to_string(TPeriodLow()); }
};

TEST(ClockSettings, PeriodBytesFromFrequency)
{
    const std::pair<std::int32_t, const char*> cases[] = {
        {50000, "3/31"}, {100000, "1/143"}, {500000, "0/79"}, {580000, "0/67"},
        {2000000, "0/19"}, {40000000, "0/0"}, {40000001, "0/-1"}, {5, "31249/255"},
    };
    for (auto [f, period] : cases) {
        Clock clock(f);
        EXPECT_EQ(clock.SampleFrequency(), f);
        EXPECT_EQ(clock.Period(), period) << f;
    }
}

TEST(ClockSettings, RefusedFrequenciesAndReadOnlyPeriods)
{
    // Not above zero: error 510 and nothing changes; 1..4 Hz overflow TPeriodHigh (6): the
    // frequency is kept, the period is not. The period setters only raise 509.
    const std::pair<std::int32_t, int> refused[] = {{0, 510}, {-1, 510}, {1, 6}, {4, 6}};
    for (auto [f, error] : refused) {
        Clock clock;
        EvalError caught(0, {}, {});
        EXPECT_EQ(RunStep([&] { clock.SetSampleFrequency(f); }, &caught), error) << f;
        EXPECT_EQ(clock.SampleFrequency(), error == 510 ? 100000 : f);
        EXPECT_EQ(clock.Period(), "1/143");
        if (error == 510) {
            EXPECT_EQ(caught.Source + ": " + caught.Description,
                      "ClockSettings Class: Frequencies less than 0Hz are not allowed.");
        }
    }
    Clock clock(50000);
    EvalError caught(0, {}, {});
    EXPECT_EQ(RunStep([&] { clock.SetTPeriodHigh(7); }, &caught), 509);
    EXPECT_EQ(caught.Source + ": " + caught.Description, "ClockSettings Class: This Property is Read-Only");
    EXPECT_EQ(RunStep([&] { clock.SetTPeriodLow(7); }), 509);
    EXPECT_EQ(clock.Period(), "3/31");
}

} // namespace
