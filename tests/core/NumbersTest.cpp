#include "core/EvalError.h"
#include "core/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string_view>

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

TEST(Val, BytesReadInPlaceAgreeWithTheTextRule)
{
    const char* texts[] = {
        "", "abc", "42", "-3.5x", "1.2.3", "1 2 3", "+8", "+-8", "+.5", "+", "-", ".", "-.", "1e3", "2.5E-1", "1d2",
        "12e", "12e+", "1e+-5", "5.e3", ".e5", "&HFF", "&O17", "1e400", "-1e400", "1e-400", "4e-320", "123 ",
        "123 \t", "1 e5", " 7", "0x12", "inf", "nan", "-inf", "1-2", "1ee5", "--5", "12\xff", "7\x00 8",
        "0.000001", "2047.000000", "-2048.000000", "-0.000000", "123456789012345", "1234567890123456", "0.1", "-.5", "5.",
        "9007199254740993", "0.30000000000000004", "4095.999999", "1.2.", "..5", "123456789012345678901234567890", "1e", "e5", "1,5",
    };
    for (const char* text : texts) {
        const std::string_view bytes(text);
        bool viaText = false, viaBytes = true;
        const double expected = Val(QString::fromLatin1(bytes.data(), qsizetype(bytes.size())), &viaText);
        const double got = LeadingNumber(bytes, &viaBytes);
        EXPECT_EQ(viaBytes, viaText) << text;
        EXPECT_TRUE(got == expected || (std::isnan(got) && std::isnan(expected))) << text << ": " << got << " vs " << expected;
        EXPECT_EQ(std::signbit(got), std::signbit(expected)) << text;
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
