#include "files/DataFileIo.h"
#include "files/RawDataFile.h"

#include "TempFiles.h"

#include <QFileInfo>
#include <QLocale>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

// Writes beyond `bytes` fail for as long as it lives, as on a full disk (even for root).
struct FileSizeLimit {
    rlimit before{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &before);
        const rlimit limit{bytes, before.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before); }
};

struct RawLoad : ScriptedUser {
    Settings settings;
    std::vector<double> codes{7, 8, 9};

    // Loads path, or cancels the dialog when there is none.
    std::int16_t Load(const QString& path = QString())
    {
        if (!path.isEmpty())
            chooser.answers.push_back(path);
        return LoadRawDataFile(chooser, messenger, settings, codes);
    }
};

} // namespace

TEST(RawDataFile, SavedBlockLoadsBackWithItsCodesAndLength)
{
    RawLoad user;
    std::vector<double> block;
    for (int i = 0; i < 1024; ++i)
        block.push_back(i % 7 == 0 ? -2048 + i : i);
    const QString path = user.Choose("block.dat");
    ASSERT_EQ(SaveDataFile(user.chooser, user.messenger, block, 1024), FileStatus::Done);
    ASSERT_EQ(user.Load(path), FileStatus::Done);

    const FileDialogRequest& save = user.chooser.requests.at(0);
    EXPECT_EQ(save.title, "Save FFT Data");
    EXPECT_EQ(save.filter, "DAT Files|*.dat|All Files|*.*");
    EXPECT_TRUE(save.save && save.promptOverwrite);
    EXPECT_EQ(user.chooser.requests.at(1).title, "Load A Data File");
    EXPECT_FALSE(user.chooser.requests.at(1).save);
    EXPECT_EQ(user.codes, block);
    EXPECT_FALSE(user.codes.empty());
    EXPECT_EQ(user.settings.NumberOfSamples, 2);
    EXPECT_EQ(user.settings.MaxValue, 1023);
    EXPECT_EQ(user.settings.MinValue, -2048);
    EXPECT_TRUE(user.messenger.shown.empty());
}

TEST(RawDataFile, FieldsValuesAndBlockExponent)
{
    struct Case { QByteArray content; std::vector<double> firstValues; size_t count; int exponent; };
    const Case cases[] = {
        {NumberedLines(1024), {0, 1}, 1024, 2},   {NumberedLines(1000), {0, 1}, 1000, 2},
        {NumberedLines(600), {0, 1}, 600, 1},     {NumberedLines(23170), {0}, 23170, 6},
        {NumberedLines(23171), {0}, 23171, 7},    {NumberedLines(32767), {0}, 32767, 7},
        {"1,5\r\n", {1, 5}, 2, -7},               {"abc\r\n-3.25\r\n", {0, -3.25}, 2, -7},
        {"1.5E3\r\n2e-1", {1500, 0.2}, 2, -7},
    };
    for (const Case& c : cases) {
        RawLoad load;
        ASSERT_EQ(load.Load(load.Write("in.dat", c.content)), FileStatus::Done);
        ASSERT_EQ(load.codes.size(), c.count) << c.content.left(20).constData();
        for (size_t i = 0; i < c.firstValues.size(); ++i)
            EXPECT_EQ(load.codes[i], c.firstValues[i]) << i;
        EXPECT_EQ(load.settings.NumberOfSamples, c.exponent) << c.count;
    }
}

TEST(RawDataFile, EmptyUnreadableOversizedOrCancelledLoadKeepsTheBlockInHand)
{
    struct Case { const char* name; QByteArray content; std::int16_t status; };
    const Case cases[] = {
        {"empty.dat", "", FileStatus::Done},
        {"missing.dat", {}, FileStatus::Abandoned},
        {"huge.dat", NumberedLines(32768), FileStatus::Abandoned},
        {"", {}, FileStatus::Cancelled},
    };
    for (const Case& c : cases) {
        RawLoad load;
        load.settings.NumberOfSamples = 3;
        load.settings.MaxValue = 9;
        load.settings.MinValue = 7;
        QString path = *c.name ? load.Path(c.name) : QString();
        if (!c.content.isNull())
            load.Write(c.name, c.content);
        EXPECT_EQ(load.Load(path), c.status) << c.name;
        EXPECT_EQ(load.codes, (std::vector<double>{7, 8, 9}));
        EXPECT_EQ(load.settings.NumberOfSamples, 3);
        EXPECT_EQ(load.settings.MaxValue, 9);
        EXPECT_EQ(load.settings.MinValue, 7);
        const bool told = c.status == FileStatus::Abandoned;
        ASSERT_EQ(load.messenger.shown.size(), told ? 1u : 0u) << c.name;
        if (told) {
            EXPECT_TRUE(load.messenger.shown[0].text.contains(c.name));
        }
    }
}

TEST(RawDataFile, SaveWritesCountLinesWithFullStopsInEveryLocale)
{
    ScriptedUser user;
    const QLocale before;
    QLocale::setDefault(QLocale::German);
    const QString path = user.Choose("out.dat");
    const std::int16_t status = SaveDataFile(user.chooser, user.messenger, {2048, -5, 1.25, 0.0000004, 99}, 4);
    QLocale::setDefault(before);
    EXPECT_EQ(status, FileStatus::Done);
    EXPECT_EQ(ScriptedUser::Read(path), "2048.000000\r\n-5.000000\r\n1.250000\r\n0.000000\r\n");
    EXPECT_TRUE(user.messenger.shown.empty());

    // A block shorter than asked for: what is held is written and the user is told.
    user.Choose("short.dat");
    EXPECT_EQ(SaveDataFile(user.chooser, user.messenger, std::vector<double>(1000, 1.0), 1024),
              FileStatus::Done);
    EXPECT_EQ(ScriptedUser::Read(user.Path("short.dat")).count("\r\n"), 1000);
    ASSERT_EQ(user.messenger.shown.size(), 1u);
    EXPECT_TRUE(user.messenger.shown[0].text.contains("1000 of the 1024"));
}

TEST(RawDataFile, FailedOrCancelledSaveLeavesTheOldFileIntact)
{
    ScriptedUser user;
    const QString old = user.Write("old.dat", "old\r\n");
    user.Choose("old.dat");
    std::int16_t status;
    {
        const FileSizeLimit diskFull(4096);
        status = SaveDataFile(user.chooser, user.messenger, std::vector<double>(1024, 1.0), 1024);
    }
    EXPECT_EQ(status, FileStatus::Abandoned);
    ASSERT_EQ(user.messenger.shown.size(), 1u);
    EXPECT_TRUE(user.messenger.shown[0].text.contains("old.dat"));
    EXPECT_EQ(user.messenger.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(ScriptedUser::Read(old), "old\r\n");

    // The script is used up: the next dialog is cancelled.
    EXPECT_EQ(SaveDataFile(user.chooser, user.messenger, {1, 2}, 2), FileStatus::Cancelled);
    EXPECT_EQ(user.messenger.shown.size(), 1u);
    EXPECT_EQ(ScriptedUser::Read(old), "old\r\n");
}
