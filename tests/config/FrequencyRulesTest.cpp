#include "config/FrequencyRules.h"
#include "core/EvalError.h"

#include <gtest/gtest.h>

namespace {

TEST(FrequencyPlace, EqualItemIsSelectedOtherwiseInsertedInAscendingPlace)
{
    struct Case { std::int32_t frequency; int index; bool insert; };
    const Case cases[] = {
        {250000, 4, false}, {50000, 0, false}, {580000, 11, false},
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

// Settings and a clock at 100000 Hz under a ceiling of 580000 Hz.
struct Rules {
    Settings s;
    ClockSettings clock;
    OtherFrequencyOutcome out;
    Rules()
    {
        s.SampleFreq = 100000;
        s.Max_Frequency = 580000;
        clock.SetCrystalFrequency(40000000);
        clock.SetSampleFrequency(100000);
    }
};

TEST(OtherFrequency, CeilingAndNegativeValuesAndFailures)
{
    // A ceiling of 0 is taken as the frequency before the clock refuses it.
    struct Case { QString text; std::int32_t ceiling; int error; std::int32_t freq; QString other;
                  std::optional<QString> combo; };
    const Case cases[] = {
        {"580000", 580000, 0, 580000, "580000", "580000"},   // the ceiling itself is accepted
        {"-7", 580000, 0, 50000, "50000", std::nullopt},     // the value the box held on entry
        {"  ", 580000, 13, 100000, "  ", std::nullopt},
        {"1000", 0, 510, 0, "0", std::nullopt},
    };
    for (const Case& c : cases) {
        Rules r;
        r.s.Max_Frequency = c.ceiling;
        EXPECT_EQ(RunStep([&] { EnterOtherFrequency(c.text, "50000", r.s, r.clock, r.out); }), c.error) << c.text.toStdString();
        EXPECT_EQ(r.s.SampleFreq, c.freq);
        EXPECT_EQ(r.clock.SampleFrequency(), c.error ? 100000 : c.freq);
        EXPECT_EQ(r.out.otherText, c.other);
        EXPECT_EQ(r.out.comboText, c.combo);
        EXPECT_FALSE(r.out.selectCeiling);
    }
}

TEST(ListFrequency, NeverPassesTheCeiling)
{
    // A leading vertical tab stops the leading number at 0, but the text still converts to
    // 600000: the ceiling is taken instead (found by fuzzing).
    struct Case { QString text; std::int32_t freq; std::optional<std::int32_t> ceiling; };
    const Case cases[] = {
        {"500000", 500000, std::nullopt}, {"580000", 580000, std::nullopt},
        {"600000", 580000, 580000}, {"\v600000", 580000, 580000},
    };
    Rules r;
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseListFrequency(c.text, r.s, r.clock), c.ceiling) << c.text.toStdString();
        EXPECT_EQ(r.s.SampleFreq, c.freq);
        EXPECT_EQ(r.clock.SampleFrequency(), c.freq);
    }
}

} // namespace
