#include "config/ClockSettings.h"
#include "core/EvalError.h"

#include <gtest/gtest.h>

namespace {

ClockSettings WithCrystal()
{
    ClockSettings clock;
    clock.SetCrystalFrequency(40000000);
    return clock;
}

TEST(ClockSettings, PeriodBytesFromFrequency)
{
    struct Case { std::int32_t f; std::int16_t high, low; };
    const Case cases[] = {
        {50000, 3, 31}, {100000, 1, 143}, {500000, 0, 79}, {580000, 0, 67},
        {2000000, 0, 19}, {40000000, 0, 0}, {40000001, 0, -1}, {5, 31249, 255},
    };
    for (const auto& c : cases) {
        ClockSettings clock = WithCrystal();
        clock.SetSampleFrequency(c.f);
        EXPECT_EQ(clock.SampleFrequency(), c.f);
        EXPECT_EQ(clock.TPeriodHigh(), c.high) << c.f;
        EXPECT_EQ(clock.TPeriodLow(), c.low) << c.f;
    }
}

TEST(ClockSettings, FrequencyNotAboveZeroChangesNothing)
{
    for (std::int32_t f : {0, -1}) {
        ClockSettings clock = WithCrystal();
        clock.SetSampleFrequency(100000);
        EvalError caught(0, {}, {});
        EXPECT_EQ(RunStep([&] { clock.SetSampleFrequency(f); }, &caught), 510) << f;
        EXPECT_EQ(caught.Source, "ClockSettings Class");
        EXPECT_EQ(caught.Description, "Frequencies less than 0Hz are not allowed.");
        EXPECT_EQ(clock.SampleFrequency(), 100000);
        EXPECT_EQ(clock.TPeriodHigh(), 1);
        EXPECT_EQ(clock.TPeriodLow(), 143);
    }
}

TEST(ClockSettings, PeriodSettersAreReadOnly)
{
    ClockSettings clock = WithCrystal();
    clock.SetSampleFrequency(50000);
    EvalError caught(0, {}, {});
    EXPECT_EQ(RunStep([&] { clock.SetTPeriodHigh(7); }, &caught), 509);
    EXPECT_EQ(caught.Source, "ClockSettings Class");
    EXPECT_EQ(caught.Description, "This Property is Read-Only");
    EXPECT_EQ(RunStep([&] { clock.SetTPeriodLow(7); }), 509);
    EXPECT_EQ(clock.TPeriodHigh(), 3);
    EXPECT_EQ(clock.TPeriodLow(), 31);
}

TEST(ClockSettings, OverflowKeepsFrequencyButNotPeriod)
{
    for (std::int32_t f : {1, 2, 3, 4}) {
        ClockSettings clock = WithCrystal();
        clock.SetSampleFrequency(100000);
        EXPECT_EQ(RunStep([&] { clock.SetSampleFrequency(f); }), 6) << f;
        EXPECT_EQ(clock.SampleFrequency(), f);
        EXPECT_EQ(clock.TPeriodHigh(), 1);
        EXPECT_EQ(clock.TPeriodLow(), 143);
    }
}

TEST(ClockSettings, CrystalChangeWaitsForTheNextFrequency)
{
    ClockSettings clock = WithCrystal();
    clock.SetSampleFrequency(100000);
    clock.SetCrystalFrequency(20000000);
    EXPECT_EQ(clock.TPeriodLow(), 143);
    clock.SetSampleFrequency(100000);
    EXPECT_EQ(clock.TPeriodHigh(), 0);
    EXPECT_EQ(clock.TPeriodLow(), 199);
}

} // namespace
