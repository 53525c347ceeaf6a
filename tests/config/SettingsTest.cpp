#include "config/Settings.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

TEST(Settings, DialogCopyCoversExactlyItsNineFields)
{
    const Settings source{.PartName = "KV2680", .EXEName = "ECB.EXE", .NumberOfBits = 14, .InputVMax = 2.5,
                          .InputVMin = -2.5, .EchoComms = True, .MaxValue = 100, .MinValue = -100,
                          .SampleFreq = 250000, .NumberOfSamples = 3, .DataFormat = 1, .Max_Frequency = 2000000,
                          .ProgramLoaded = True, .DisplayMode = True, .DataLoaded = True, .TimeOut = 40};
    Settings t;
    t.CopyDialogFieldsFrom(source);
    // Not copied: echo, max/min value, ceiling, display mode, data loaded, time-out.
    QStringList f{t.PartName, t.EXEName};
    for (double v : {double(t.NumberOfBits), t.InputVMax, t.InputVMin, double(t.EchoComms), t.MaxValue, t.MinValue,
                     double(t.SampleFreq), double(t.NumberOfSamples), double(t.DataFormat), double(t.Max_Frequency),
                     double(t.ProgramLoaded), double(t.DisplayMode), double(t.DataLoaded), double(t.TimeOut)})
        f << QString::number(v);
    EXPECT_EQ(f.join('|'), "KV2680|ECB.EXE|14|2.5|-2.5|0|0|0|250000|3|1|0|-1|0|0|0");
}

TEST(Settings, BlockLengthDoublesPerStep)
{
    EXPECT_EQ(BlockLength(0), 256);
    EXPECT_EQ(BlockLength(5), 8192);
}

} // namespace
