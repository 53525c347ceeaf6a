#include "config/FrequencyRules.h"
#include "core/EvalError.h"

#include <gtest/gtest.h>

namespace {

TEST(FrequencyPlace, EqualItemIsSelectedOtherwiseInsertedInAscendingPlace)
{
    struct Case { std::int32_t frequency; int index; bool insert; };
    const Case cases[] = {
        {250000, 4, false}, {50000, 0, false}, {580000, 11, false},
        {125000, 2, true},     // between 100000 and 150000
        {20000, 1, true},      // below every item: after the first
        {1000000, 12, true},   // above every item: appended
    };
    const QStringList items = SampleFrequencyItems();
    for (const auto& c : cases) {
        const FrequencyPlace p = FindFrequencyPlace(items, c.frequency);
        EXPECT_EQ(p.index, c.index) << c.frequency;
        EXPECT_EQ(p.insert, c.insert) << c.frequency;
    }
    EXPECT_EQ(MatchingFrequencyItem(items, 150000), 2);
    EXPECT_EQ(MatchingFrequencyItem(items, 125000), std::nullopt);
}

struct Rules : ::testing::Test {
    Rules()
    {
        s.SampleFreq = 100000;
        s.Max_Frequency = 580000;
        clock.SetCrystalFrequency(40000000);
        clock.SetSampleFrequency(100000);
    }
    Settings s;
    ClockSettings clock;
    OtherFrequencyOutcome out;
};

TEST_F(Rules, OtherFrequencyAcceptsTheCeilingItself)
{
    EnterOtherFrequency("580000", "50000", s, clock, out);
    EXPECT_EQ(s.SampleFreq, 580000);
    EXPECT_EQ(clock.SampleFrequency(), 580000);
    EXPECT_EQ(out.otherText, "580000");
    EXPECT_EQ(out.comboText, QString("580000"));
    EXPECT_FALSE(out.selectCeiling);
}

TEST_F(Rules, OtherFrequencyBelowZeroUsesTheValueTheBoxHeldOnEntry)
{
    EnterOtherFrequency("-7", "50000", s, clock, out);
    EXPECT_EQ(s.SampleFreq, 50000);
    EXPECT_EQ(clock.SampleFrequency(), 50000);
    EXPECT_EQ(out.otherText, "50000");
    EXPECT_EQ(out.comboText, std::nullopt);
    EXPECT_FALSE(out.selectCeiling);
}

TEST_F(Rules, OtherFrequencyFailuresRaiseAndKeepEarlierSteps)
{
    EXPECT_EQ(RunStep([&] { EnterOtherFrequency("  ", "50000", s, clock, out); }), 13);
    EXPECT_EQ(s.SampleFreq, 100000);

    // A ceiling of 0 is taken as the frequency before the clock refuses it.
    s.Max_Frequency = 0;
    EXPECT_EQ(RunStep([&] { EnterOtherFrequency("1000", "50000", s, clock, out); }), 510);
    EXPECT_EQ(s.SampleFreq, 0);
    EXPECT_EQ(out.otherText, "0");
}

TEST_F(Rules, ListFrequencyNeverPassesTheCeiling)
{
    // A leading vertical tab stops the leading number at 0, but the text still converts to
    // 600000: the ceiling is taken instead (found by fuzzing).
    struct Case { QString text; std::int32_t freq; std::optional<std::int32_t> ceiling; };
    const Case cases[] = {
        {"500000", 500000, std::nullopt}, {"600000", 580000, 580000}, {"\v600000", 580000, 580000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseListFrequency(c.text, s, clock), c.ceiling) << c.text.toStdString();
        EXPECT_EQ(s.SampleFreq, c.freq);
        EXPECT_EQ(clock.SampleFrequency(), c.freq);
    }
}

} // namespace
