#include "config/Settings.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// Every field, in declaration order, as one comparable line.
QString AllFields(const Settings& s)
{
    QStringList f{s.PartName, s.EXEName};
    for (double v : {double(s.NumberOfBits), s.InputVMax, s.InputVMin, double(s.EchoComms), s.MaxValue, s.MinValue,
                     double(s.SampleFreq), double(s.NumberOfSamples), double(s.DataFormat), double(s.Max_Frequency),
                     double(s.ProgramLoaded), double(s.DisplayMode), double(s.DataLoaded), double(s.TimeOut)})
        f << QString::number(v);
    return f.join('|');
}

TEST(Settings, DialogCopyCoversExactlyItsNineFields)
{
    Settings source;
    source.PartName = "KV2680";
    source.EXEName = "ECB.EXE";
    source.NumberOfBits = 14;
    source.InputVMax = 2.5;
    source.InputVMin = -2.5;
    source.EchoComms = source.ProgramLoaded = source.DisplayMode = source.DataLoaded = True;
    source.MaxValue = 100;
    source.MinValue = -100;
    source.SampleFreq = 250000;
    source.NumberOfSamples = 3;
    source.DataFormat = 1;
    source.Max_Frequency = 2000000;
    source.TimeOut = 40;
    Settings target;
    target.CopyDialogFieldsFrom(source);
    // Not copied: echo, max/min value, ceiling, display mode, data loaded, time-out.
    EXPECT_EQ(AllFields(target), "KV2680|ECB.EXE|14|2.5|-2.5|0|0|0|250000|3|1|0|-1|0|0|0");
}

TEST(Settings, BlockLengthDoublesPerStep)
{
    for (std::int16_t n = 0; n < 6; ++n)
        EXPECT_EQ(BlockLength(n), 256 << n) << n;
}

} // namespace
