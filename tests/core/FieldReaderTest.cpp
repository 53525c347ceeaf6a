#include "core/EvalError.h"
#include "core/FieldReader.h"

#include <QStringList>

#include <gtest/gtest.h>

TEST(FieldReader, CommaLineEndQuoteAndBlankRulesAndTheLineOfEachField)
{
    struct Case { const char* text; QStringList fields; std::vector<int> lines = {}; };   // lines when given
    const Case cases[] = {
        {"", {}}, {"a\r\nb\r\n", {"a", "b"}}, {"a\nb", {"a", "b"}}, {"1,5\r\n", {"1", "5"}},
        {"   x\r\n\ty", {"x", "y"}}, {"a\r\n\r\nb\r\n", {"a", "", "b"}}, {"\"x, y\",z\r\n", {"x, y", "z"}},
        {"\"q\" junk,next\r\n", {"q", "next"}}, {"1,\r\n2\r\n", {"1", "2"}}, {"\"open", {"open"}},
        {"PARTNAME:KV2680, rev B\r\n", {"PARTNAME:KV2680", "rev B"}}, {"PARTNAME: KV2680\r\n", {"PARTNAME: KV2680"}},
        {"a,b\r\nc", {"a", "b", "c"}, {1, 1, 2}},
        {"a\rb\nc\r\n\r\nd", {"a", "b", "c", "", "d"}, {1, 2, 3, 4, 5}},
        {"\"x\ny\",z\r\nw", {"x\ny", "z", "w"}, {1, 2, 3}},
    };
    for (const auto& c : cases) {
        FieldReader r{QByteArray(c.text)};
        QStringList fields;
        std::vector<int> lines;
        while (!r.AtEnd()) {
            fields << r.Next();
            lines.push_back(r.Line());
        }
        EXPECT_EQ(fields, c.fields) << c.text;
        EXPECT_TRUE(c.lines.empty() || lines == c.lines) << c.text;
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
    EXPECT_EQ(RunStep([&] { r.Next(); }), 62);
}
