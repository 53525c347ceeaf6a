#include "MainWindowFixture.h"

namespace {

QString WriteLines(const QString& path, int count, int first = 0)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    for (int i = 0; i < count; ++i)
        f.write(QByteArray::number(first + i % 4096) + "\r\n");
    return path;
}

int CountLines(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? int(f.readAll().count("\r\n")) : -1;
}

} // namespace

TEST_F(MainWindowTest, LoadedBlockIsShownLikeAnAcquisitionAndSavesBack)
{
    WriteLines(Answer("in.dat"), 1024, 100);
    window->DataFiles().LoadRawData();
    EXPECT_EQ(files.requests.at(0).title, "Load A Data File");
    EXPECT_EQ(ctx.CurrentSettings.NumberOfSamples, 2);
    EXPECT_EQ(Status1().last(), "1024 Data Samples Read");
    EXPECT_EQ(Find<StripChart>(*window, "stripDSO")->PointCount(), 1024);
    EXPECT_TRUE(Find<QComboBox>(*window, "cboDisplayMode")->isEnabled());
    EXPECT_EQ(Find<StripChart>(*window, "stripDSO")->TopLimit(), 1123);
    EXPECT_EQ(Find<StripChart>(*window, "stripDSO")->BottomLimit(), 100);

    const std::vector<double> loaded = ctx.SampleCodes;

    // The spectrum saved and loaded back leaves the block alone.
    Answer("fft.dat");
    window->DataFiles().SaveFFTData();
    EXPECT_EQ(CountLines(dir.filePath("fft.dat")), 512);
    Answer("fft.dat");
    window->DataFiles().LoadFFTData();
    EXPECT_EQ(Status1().last(), "512 FFT Samples Read");
    EXPECT_EQ(ctx.SampleCodes, loaded);
    EXPECT_EQ(ctx.CurrentSettings.NumberOfSamples, 2);

    // An empty file shows the old block again.
    WriteLines(Answer("empty.dat"), 0);
    window->DataFiles().LoadRawData();
    EXPECT_EQ(ctx.SampleCodes, loaded);
    EXPECT_EQ(ctx.CurrentSettings.NumberOfSamples, 2);
    EXPECT_EQ(Status1().last(), "1024 Data Samples Read");
}

TEST_F(MainWindowTest, AFileLongerThanAnyBlockIsShownAndSavedAsTheLongestBlock)
{
    WriteLines(Answer("big.dat"), 23171);
    window->DataFiles().LoadRawData();
    EXPECT_EQ(ctx.CurrentSettings.NumberOfSamples, 5);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Status1().mid(Status1().size() - 2),
              (QStringList{"big.dat holds 23171 values; blocks are 256 to 8192 samples, so it is taken as a block of 8192",
                           "8192 Data Samples Read"}));

    Answer("saved");
    window->DataFiles().SaveRawData();
    EXPECT_EQ(files.requests.at(1).title, "Save FFT Data");
    EXPECT_EQ(CountLines(dir.filePath("saved.dat")), 8192);
    EXPECT_EQ(Status1().last(), "Saved 8192 values to " + QDir::toNativeSeparators(dir.filePath("saved.dat")));

    // Three values are shown as the shortest block; nothing reads past them.
    WriteLines(Answer("few.dat"), 3);
    window->DataFiles().LoadRawData();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Status1().last(), "256 Data Samples Read");
}
