#include "core/EvalError.h"
#include "core/FieldReader.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {
QStringList AllFields(const char* text)
{
    FieldReader r{QByteArray(text)};
    QStringList out;
    while (!r.AtEnd())
        out << r.Next();
    return out;
}
}

TEST(FieldReader, CommaLineEndQuoteAndBlankRules)
{
    struct Case { const char* text; QStringList fields; };
    const Case cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"1,5\r\n", {"1", "5"}},
        {"   x\r\n\ty", {"x", "y"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"\"x, y\",z\r\n", {"x, y", "z"}},
        {"\"q\" junk,next\r\n", {"q", "next"}},
        {"PARTNAME:KV2680, rev B\r\n", {"PARTNAME:KV2680", "rev B"}},
        {"PARTNAME: KV2680\r\n", {"PARTNAME: KV2680"}},
        {"1,\r\n2\r\n", {"1", "2"}},
        {"\"open", {"open"}},
        {"a\rb", {"a", "b"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AllFields(c.text), c.fields) << c.text;
}

TEST(FieldReader, LineOfEachFieldCountsEveryKindOfLineEnd)
{
    struct Case { const char* text; std::vector<int> lines; };
    const Case cases[] = {
        {"a,b\r\nc", {1, 1, 2}},
        {"a\rb\nc\r\n\r\nd", {1, 2, 3, 4, 5}},
        {"\"x\ny\",z\r\nw", {1, 2, 3}},
    };
    for (const auto& c : cases) {
        FieldReader r{QByteArray(c.text)};
        std::vector<int> lines;
        while (!r.AtEnd()) {
            r.Next();
            lines.push_back(r.Line());
        }
        EXPECT_EQ(lines, c.lines) << c.text;
    }
}

TEST(FieldReader, ReadingPastTheEndRaises62AndCountLeavesPosition)
{
    FieldReader r{QByteArray("a,b\r\nc")};
    EXPECT_EQ(r.CountRemaining(), 3);
    EXPECT_EQ(r.Next(), "a");
    EXPECT_EQ(r.CountRemaining(), 2);
    r.Next();
    r.Next();
    try {
        r.Next();
        FAIL();
    } catch (const EvalError& e) {
        EXPECT_EQ(e.Number, 62);
    }
}
