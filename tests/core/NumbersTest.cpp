#include "core/EvalError.h"
#include "core/Numbers.h"

#include <gtest/gtest.h>

TEST(Val, LeadingNumberRules)
{
    struct Case { const char* text; double expected; bool isNumber = true; };
    const Case cases[] = {
        {"", 0, false}, {"abc", 0, false}, {"  42", 42}, {"-3.5x", -3.5}, {"1.2.3", 1.2},
        {" 1 2 3", 123}, {"\t7", 7}, {"+8", 8}, {"1e3", 1000}, {"2.5E-1", 0.25},
        {"1d2", 100}, {"12e", 12}, {"&HFF", 255}, {"&hFFFF", -1}, {"&H10000", 65536},
        {"&O17", 15}, {"&Hxyz", 0, false}, {".5", 0.5}, {"-", 0, false}, {"500000", 500000},
        {"SAMPLEFREQUENCY=500000", 0, false}, {" 2.5 V", 2.5}, {"0", 0}, {"-.e5", 0, false}, {"&H8000", -32768},
    };
    for (const auto& c : cases) {
        bool isNumber = !c.isNumber;
        EXPECT_DOUBLE_EQ(Val(QString::fromLatin1(c.text), &isNumber), c.expected) << c.text;
        EXPECT_EQ(isNumber, c.isNumber) << c.text;
    }
}

TEST(Conversion, RoundsHalfToEvenAndRaisesOverflow)
{
    struct Case { double in; int out; };
    const Case ties[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
                         {2.4999, 2}, {32767.4, 32767}, {-32768.5, -32768}};
    for (const auto& c : ties)
        EXPECT_EQ(ToInt16(c.in), c.out) << c.in;
    EXPECT_EQ(ToInt32(2147483647.4), 2147483647);
    EXPECT_EQ(ToInt32(-2147483648.5), -2147483647 - 1);

    for (double bad : {32767.5, -32769.0, 1e10})
        EXPECT_EQ(RunStep([&] { ToInt16(bad); }), 6) << bad;
    EXPECT_EQ(RunStep([&] { ToInt32(2147483647.5); }), 6);
}

TEST(Formats, FixedPlainAndHex)
{
    const std::pair<QString, const char*> cases[] = {
        {FormatFixed(25000, 2), "25000.00"}, {FormatFixed(-0.001, 2), "0.00"}, {FormatFixed(1.2, 4), "1.2000"},
        {PlainNumber(1024), "1024"}, {PlainNumber(2.5), "2.5"}, {PlainNumber(-3), "-3"},
        {Hex16(888), "378"}, {Hex16(-1), "FFFF"}, {Hex32(399), "18F"}, {Hex32(0), "0"},
    };
    for (const auto& [got, want] : cases)
        EXPECT_EQ(got, want);
}
