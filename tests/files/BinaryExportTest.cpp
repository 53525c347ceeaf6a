#include "core/EvalError.h"
#include "files/BinaryExport.h"
#include "files/DataFileIo.h"

#include "TempFiles.h"

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

TEST(BinaryExport, ZeroBlockGivesOneLineOfSixteenZerosPerSample)
{
    ScriptedUser user;
    const QString path = user.Choose("bin.dat");
    ASSERT_EQ(SaveBinaryFile(user.chooser, user.messenger, user.status, std::vector<double>(256, 0.0), 256),
              FileStatus::Done);
    EXPECT_EQ(user.chooser.requests.at(0).title, "Save FFT Data");
    EXPECT_EQ(ScriptedUser::Read(path), QByteArray("0000000000000000\r\n").repeated(256));
    EXPECT_TRUE(user.messenger.shown.empty());

    // A value beyond 32 bits is reported before any dialog.
    EXPECT_EQ(SaveBinaryFile(user.chooser, user.messenger, user.status, {1, 1e12}, 2), FileStatus::Abandoned);
    EXPECT_EQ(user.chooser.requests.size(), 1u);
    ASSERT_EQ(user.messenger.shown.size(), 1u);
    EXPECT_TRUE(user.messenger.shown[0].text.contains("1000000000000"));

    // The line counter is 16-bit: 32768 lines are the most an export holds.
    const std::vector<double> big(32769, 0.0);
    EXPECT_EQ(SaveBinaryFile(user.chooser, user.messenger, user.status, big, 32769), FileStatus::Abandoned);
    EXPECT_EQ(user.chooser.requests.size(), 1u);
    EXPECT_EQ(user.messenger.shown.size(), 2u);
    const QString longest = user.Choose("longest.dat");
    EXPECT_EQ(SaveBinaryFile(user.chooser, user.messenger, user.status, big, 32768), FileStatus::Done);
    EXPECT_EQ(ScriptedUser::Read(longest).count('\n'), 32768);
}
