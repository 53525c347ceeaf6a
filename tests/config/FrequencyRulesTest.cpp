#include "config/FrequencyRules.h"
#include "core/EvalError.h"

#include <gtest/gtest.h>

namespace {

struct Rules : ::testing::Test {
    void SetUp() override
    {
        s.SampleFreq = 100000;
        s.Max_Frequency = 580000;
        clock.SetCrystalFrequency(40000000);
        clock.SetSampleFrequency(100000);
    }
    Settings s;
    ClockSettings clock;
};

TEST(FrequencyPlace, EqualItemIsSelectedOtherwiseInsertedInAscendingPlace)
{
    struct Case { std::int32_t frequency; int index; bool insert; };
    const Case cases[] = {
        {250000, 4, false},
        {50000, 0, false},
        {580000, 11, false},
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

TEST_F(Rules, ListChoiceAboveTheCeilingBecomesTheCeiling)
{
    s.Max_Frequency = 250000;
    const auto ceiling = ChooseListFrequency("500000", s, clock);
    ASSERT_EQ(ceiling, 250000);
    EXPECT_EQ(s.SampleFreq, 250000);
    EXPECT_EQ(FindFrequencyPlace(SampleFrequencyItems(), *ceiling).index, 4);
    EXPECT_EQ(clock.SampleFrequency(), 250000);
    EXPECT_EQ(clock.TPeriodHigh(), 0);
    EXPECT_EQ(clock.TPeriodLow(), 159);

    EXPECT_EQ(ChooseListFrequency("50000", s, clock), std::nullopt);
    EXPECT_EQ(s.SampleFreq, 50000);
    EXPECT_EQ(clock.TPeriodHigh(), 3);
    EXPECT_EQ(clock.TPeriodLow(), 31);
}

TEST_F(Rules, OtherFrequencyUsesTheValueTheBoxHeldOnEntry)
{
    struct Case {
        const char* text;
        std::int32_t sampleFreq;
        const char* otherText;
        std::optional<QString> comboText;
        bool selectCeiling;
    };
    const Case cases[] = {
        {"600000", 580000, "580000", std::nullopt, true},
        {"580000", 580000, "580000", QString("580000"), false},
        {"125000", 125000, "125000", QString("125000"), false},
        {"0", 100000, "0", std::nullopt, false},
        {"-7", 50000, "50000", std::nullopt, false},
    };
    for (const auto& c : cases) {
        SetUp();
        OtherFrequencyOutcome out;
        EnterOtherFrequency(c.text, "50000", s, clock, out);
        EXPECT_EQ(s.SampleFreq, c.sampleFreq) << c.text;
        EXPECT_EQ(clock.SampleFrequency(), c.sampleFreq) << c.text;
        EXPECT_EQ(out.otherText, c.otherText) << c.text;
        EXPECT_EQ(out.comboText, c.comboText) << c.text;
        EXPECT_EQ(out.selectCeiling, c.selectCeiling) << c.text;
    }
}

TEST_F(Rules, OtherFrequencyFailuresRaiseAndKeepEarlierSteps)
{
    OtherFrequencyOutcome out;
    EXPECT_EQ(RunStep([&] { EnterOtherFrequency("  ", "50000", s, clock, out); }), 13);
    EXPECT_EQ(s.SampleFreq, 100000);

    // A ceiling of 0 is taken as the frequency before the clock refuses it.
    s.Max_Frequency = 0;
    EXPECT_EQ(RunStep([&] { EnterOtherFrequency("1000", "50000", s, clock, out); }), 510);
    EXPECT_EQ(s.SampleFreq, 0);
    EXPECT_EQ(out.otherText, "0");
}

TEST(SampleCount, OnlyAChangedIndexReportsAChange)
{
    Settings s;
    s.NumberOfSamples = 2;
    EXPECT_FALSE(ChooseSampleCount(2, s));
    EXPECT_TRUE(ChooseSampleCount(5, s));
    EXPECT_EQ(s.NumberOfSamples, 5);

    EXPECT_EQ(SampleCountIndex(-1), 0);
    EXPECT_EQ(SampleCountIndex(3), 3);
    EXPECT_EQ(SampleCountIndex(7), 5);
}

TEST(InputVoltage, LeadingNumberShownWithFourDecimals)
{
    struct Case { const char* text; double value; const char* shown; };
    const Case cases[] = {
        {"1.2.3", 1.2, "1.2000"},
        {"", 0.0, "0.0000"},
        {"abc", 0.0, "0.0000"},
        {".5", 0.5, "0.5000"},
        {"12.34567", 12.34567, "12.3457"},
    };
    for (const auto& c : cases) {
        double field = -1;
        EXPECT_EQ(EnterInputVoltage(c.text, field), c.shown) << c.text;
        EXPECT_DOUBLE_EQ(field, c.value) << c.text;
    }
}

TEST(EntryKeys, DigitsAndEditingKeysOnlyAndThePointForVoltages)
{
    struct Case { QChar c; EntryKey frequency; EntryKey voltage; };
    const Case cases[] = {
        {u'7', EntryKey::Keep, EntryKey::Keep},
        {u'\b', EntryKey::Keep, EntryKey::Keep},
        {u'.', EntryKey::Drop, EntryKey::Keep},
        {u'\r', EntryKey::EndEntry, EntryKey::EndEntry},
        {u'-', EntryKey::Drop, EntryKey::Drop},
        {u'e', EntryKey::Drop, EntryKey::Drop},
        {u' ', EntryKey::Drop, EntryKey::Drop},
        {QChar(0x03), EntryKey::Keep, EntryKey::Keep},   // Ctrl+C
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FrequencyEntryKey(c.c), c.frequency) << int(c.c.unicode());
        EXPECT_EQ(VoltageEntryKey(c.c), c.voltage) << int(c.c.unicode());
    }
}

} // namespace
