#include "config/Settings.h"

#include <gtest/gtest.h>

namespace {

Settings Filled()
{
    Settings s;
    s.PartName = "KV2680";
    s.EXEName = "ECB.EXE";
    s.NumberOfBits = 14;
    s.InputVMax = 2.5;
    s.InputVMin = -2.5;
    s.EchoComms = True;
    s.MaxValue = 100;
    s.MinValue = -100;
    s.SampleFreq = 250000;
    s.NumberOfSamples = 3;
    s.DataFormat = 1;
    s.Max_Frequency = 2000000;
    s.ProgramLoaded = True;
    s.DisplayMode = True;
    s.DataLoaded = True;
    s.TimeOut = 40;
    return s;
}

TEST(Settings, FreshRecordIsEmpty)
{
    const Settings s;
    EXPECT_TRUE(s.PartName.isEmpty() && s.EXEName.isEmpty());
    EXPECT_EQ(s.NumberOfBits, 0);
    EXPECT_EQ(s.SampleFreq, 0);
    EXPECT_EQ(s.Max_Frequency, 0);
    EXPECT_EQ(s.TimeOut, 0);
    EXPECT_EQ(s.InputVMax, 0.0);
    EXPECT_EQ(s.ProgramLoaded, False);
    EXPECT_EQ(s.EchoComms, False);
}

TEST(Settings, DialogCopyCoversExactlyItsNineFields)
{
    const Settings source = Filled();
    Settings target;
    target.CopyDialogFieldsFrom(source);

    EXPECT_EQ(target.DataFormat, 1);
    EXPECT_EQ(target.EXEName, "ECB.EXE");
    EXPECT_EQ(target.InputVMin, -2.5);
    EXPECT_EQ(target.InputVMax, 2.5);
    EXPECT_EQ(target.NumberOfBits, 14);
    EXPECT_EQ(target.NumberOfSamples, 3);
    EXPECT_EQ(target.PartName, "KV2680");
    EXPECT_EQ(target.SampleFreq, 250000);
    EXPECT_EQ(target.ProgramLoaded, True);

    EXPECT_EQ(target.Max_Frequency, 0);
    EXPECT_EQ(target.DataLoaded, False);
    EXPECT_EQ(target.DisplayMode, False);
    EXPECT_EQ(target.MaxValue, 0.0);
    EXPECT_EQ(target.MinValue, 0.0);
    EXPECT_EQ(target.EchoComms, False);
    EXPECT_EQ(target.TimeOut, 0);
}

TEST(Settings, BlockLengthDoublesPerStep)
{
    const double expected[] = {256, 512, 1024, 2048, 4096, 8192};
    for (std::int16_t n = 0; n < 6; ++n)
        EXPECT_EQ(BlockLength(n), expected[n]) << n;
}

} // namespace
