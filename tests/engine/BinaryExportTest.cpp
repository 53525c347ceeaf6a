#include "engine/DataFileFlows.h"

#include "TempFiles.h"

#include <gtest/gtest.h>

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
