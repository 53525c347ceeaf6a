#include "core/EvalError.h"
#include "files/BinaryExport.h"

#include <gtest/gtest.h>

TEST(BinaryExport, LinesShowLow16BitsOfTheRoundedCode)
{
    struct Case { double value; const char* line; };
    const Case cases[] = {
        {2048, "0000100000000000"}, {4095, "0000111111111111"}, {-5, "1111111111111011"},
        {1.5, "0000000000000010"},  {2.5, "0000000000000010"},  {3.5, "0000000000000100"},
        {65537, "0000000000000001"}, {-32768, "1000000000000000"}, {0, "0000000000000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BinaryLine(c.value), QByteArray(c.line)) << c.value;
    EXPECT_THROW(BinaryLine(3e9), EvalError);
}
