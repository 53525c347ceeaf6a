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
    // Not above zero: error 510 and nothing changes.
    for (std::int32_t f : {0, -1}) {
        Clock clock;
        EvalError caught(0, {}, {});
        EXPECT_EQ(RunStep([&] { clock.SetSampleFrequency(f); }, &caught), 510) << f;
        EXPECT_EQ(caught.Source, "ClockSettings Class");
        EXPECT_EQ(caught.Description, "Frequencies less than 0Hz are not allowed.");
        EXPECT_EQ(clock.SampleFrequency(), 100000);
        EXPECT_EQ(clock.Period(), "1/143");
    }
    // 1..4 Hz overflow TPeriodHigh: the frequency is kept, the period is not.
    for (std::int32_t f : {1, 2, 3, 4}) {
        Clock clock;
        EXPECT_EQ(RunStep([&] { clock.SetSampleFrequency(f); }), 6) << f;
        EXPECT_EQ(clock.SampleFrequency(), f);
        EXPECT_EQ(clock.Period(), "1/143");
    }
    // The period setters only raise 509.
    Clock clock(50000);
    EvalError caught(0, {}, {});
    EXPECT_EQ(RunStep([&] { clock.SetTPeriodHigh(7); }, &caught), 509);
    EXPECT_EQ(caught.Source, "ClockSettings Class");
    EXPECT_EQ(caught.Description, "This Property is Read-Only");
    EXPECT_EQ(RunStep([&] { clock.SetTPeriodLow(7); }), 509);
    EXPECT_EQ(clock.Period(), "3/31");
}

TEST(ClockSettings, CrystalChangeWaitsForTheNextFrequency)
{
    Clock clock;
    clock.SetCrystalFrequency(20000000);
    EXPECT_EQ(clock.Period(), "1/143");
    clock.SetSampleFrequency(100000);
    EXPECT_EQ(clock.Period(), "0/199");
}

} // namespace
