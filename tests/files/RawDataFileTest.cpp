#include "files/DataFileIo.h"
#include "files/RawDataFile.h"

#include "TempFiles.h"

#include <QFileInfo>
#include <QLocale>

#include <gtest/gtest.h>

namespace {

struct RawLoad : ScriptedUser {
    Settings settings;
    std::vector<double> codes{7, 8, 9};
    bool dimensioned = true;

    // Loads path, or cancels the dialog when there is none.
    std::int16_t Load(const QString& path = QString())
    {
        if (!path.isEmpty())
            chooser.answers.push_back(path);
        return LoadRawDataFile(chooser, messenger, settings, codes, dimensioned);
    }
};

} // namespace

TEST(RawDataFile, SavedBlockLoadsBackWithItsCodesAndLength)
{
    ScriptedUser user;
    std::vector<double> block;
    for (int i = 0; i < 1024; ++i)
        block.push_back(i % 7 == 0 ? -2048 + i : i);

    const QString path = user.Choose("block.dat");
    ASSERT_EQ(SaveDataFile(user.chooser, user.messenger, block, 1024), FileStatus::Done);
    const FileDialogRequest& asked = user.chooser.requests.at(0);
    EXPECT_EQ(asked.title, "Save FFT Data");
    EXPECT_EQ(asked.filter, "DAT Files|*.dat|All Files|*.*");
    EXPECT_TRUE(asked.save && asked.promptOverwrite);

    RawLoad load;
    load.dimensioned = false;
    ASSERT_EQ(load.Load(path), FileStatus::Done);
    EXPECT_EQ(load.chooser.requests.at(0).title, "Load A Data File");
    EXPECT_FALSE(load.chooser.requests.at(0).save);
    EXPECT_EQ(load.codes, block);
    EXPECT_TRUE(load.dimensioned);
    EXPECT_EQ(load.settings.NumberOfSamples, 2);
    EXPECT_EQ(load.settings.MaxValue, 1023);
    EXPECT_EQ(load.settings.MinValue, -2048);
    EXPECT_TRUE(user.messenger.shown.empty() && load.messenger.shown.empty());
}

TEST(RawDataFile, FieldsValuesAndBlockExponent)
{
    struct Case { QByteArray content; std::vector<double> firstValues; size_t count; int exponent; };
    const Case cases[] = {
        {NumberedLines(1024), {0, 1}, 1024, 2},
        {NumberedLines(1000), {0, 1}, 1000, 2},
        {NumberedLines(600), {0, 1}, 600, 1},
        {NumberedLines(23170), {0}, 23170, 6},
        {NumberedLines(23171), {0}, 23171, 7},
        {NumberedLines(32767), {0}, 32767, 7},
        {"1,5\r\n", {1, 5}, 2, -7},
        {"abc\r\n-3.25\r\n", {0, -3.25}, 2, -7},
        {"1.5E3\r\n2e-1", {1500, 0.2}, 2, -7},
    };
    TempFiles temp;
    for (const Case& c : cases) {
        RawLoad load;
        ASSERT_EQ(load.Load(temp.Write("in.dat", c.content)), FileStatus::Done);
        ASSERT_EQ(load.codes.size(), c.count) << c.content.left(20).constData();
        for (size_t i = 0; i < c.firstValues.size(); ++i)
            EXPECT_EQ(load.codes[i], c.firstValues[i]) << i;
        EXPECT_EQ(load.settings.NumberOfSamples, c.exponent) << c.count;
    }
}

TEST(RawDataFile, EmptyUnreadableOrOversizedFileKeepsTheBlockInHand)
{
    TempFiles temp;
    struct Case { QString path; std::int16_t status; bool told; };
    const Case cases[] = {
        {temp.Write("empty.dat", ""), FileStatus::Done, false},
        {temp.Path("missing.dat"), FileStatus::Abandoned, true},
        {temp.Write("huge.dat", NumberedLines(32768)), FileStatus::Abandoned, true},
    };
    for (const Case& c : cases) {
        RawLoad load;
        load.settings.NumberOfSamples = 3;
        load.settings.MaxValue = 9;
        load.settings.MinValue = 7;
        EXPECT_EQ(load.Load(c.path), c.status) << c.path.toStdString();
        EXPECT_EQ(load.codes, (std::vector<double>{7, 8, 9}));
        EXPECT_EQ(load.settings.NumberOfSamples, 3);
        EXPECT_EQ(load.settings.MaxValue, 9);
        EXPECT_EQ(load.settings.MinValue, 7);
        ASSERT_EQ(load.messenger.shown.size(), c.told ? 1u : 0u);
        if (c.told) {
            EXPECT_TRUE(load.messenger.shown[0].text.contains(QFileInfo(c.path).fileName()));
        }
    }
}

TEST(RawDataFile, CancelledLoadChangesNothing)
{
    RawLoad load;
    EXPECT_EQ(load.Load(), FileStatus::Cancelled);
    EXPECT_EQ(load.codes, (std::vector<double>{7, 8, 9}));
    EXPECT_TRUE(load.messenger.shown.empty());
}

TEST(RawDataFile, SaveWritesCountLinesWithFullStopsInEveryLocale)
{
    ScriptedUser user;
    const QLocale before;
    QLocale::setDefault(QLocale::German);
    const QString path = user.Choose("out.dat");
    const std::vector<double> values{2048, -5, 1.25, 0.0000004, 99};
    const std::int16_t status = SaveDataFile(user.chooser, user.messenger, values, 4);
    QLocale::setDefault(before);

    EXPECT_EQ(status, FileStatus::Done);
    EXPECT_EQ(TempFiles::Read(path), "2048.000000\r\n-5.000000\r\n1.250000\r\n0.000000\r\n");
    EXPECT_TRUE(user.messenger.shown.empty());
}

TEST(RawDataFile, SaveOfShortBlockWritesWhatIsHeldAndSaysSo)
{
    ScriptedUser user;
    const QString path = user.Choose("short.dat");
    EXPECT_EQ(SaveDataFile(user.chooser, user.messenger, std::vector<double>(1000, 1.0), 1024),
              FileStatus::Done);
    EXPECT_EQ(TempFiles::Read(path).count("\r\n"), 1000);
    ASSERT_EQ(user.messenger.shown.size(), 1u);
    EXPECT_TRUE(user.messenger.shown[0].text.contains("1000 of the 1024"));
}

TEST(RawDataFile, FailedSaveIsReportedAndCancelWritesNothing)
{
    ScriptedUser user;
    user.Choose("no-such-folder/out.dat");
    EXPECT_EQ(SaveDataFile(user.chooser, user.messenger, {1, 2}, 2), FileStatus::Abandoned);
    ASSERT_EQ(user.messenger.shown.size(), 1u);
    EXPECT_TRUE(user.messenger.shown[0].text.contains("out.dat"));
    EXPECT_EQ(user.messenger.shown[0].icon, MessageIcon::Exclamation);

    // The script is used up: the next dialog is cancelled.
    EXPECT_EQ(SaveDataFile(user.chooser, user.messenger, {1, 2}, 2), FileStatus::Cancelled);
    EXPECT_EQ(user.messenger.shown.size(), 1u);
}
