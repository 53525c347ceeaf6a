#include "engine/DataFileFlows.h"

#include "TempFiles.h"

#include <QLocale>

#include <cmath>
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

    RawLoad() { settings.NumberOfSamples = 3; }

    // Loads path, or cancels the dialog when there is none.
    std::int16_t Load(const QString& path = QString())
    {
        if (!path.isEmpty())
            chooser.answers.push_back(path);
        return LoadRawDataFile(chooser, messenger, status, settings, codes);
    }
    std::int16_t Save(const std::vector<double>& values, int count)
    {
        return SaveDataFile(chooser, messenger, status, values, count);
    }
};

} // namespace

TEST(RawDataFile, SaveWritesCountLinesWithFullStopsInEveryLocaleAndLoadsBack)
{
    RawLoad user;
    const QLocale before;
    QLocale::setDefault(QLocale::German);
    const QString path = user.Choose("out.dat");
    const std::int16_t status = user.Save({2048, -5, 1.25, 0.0000004, 99}, 4);
    QLocale::setDefault(before);
    EXPECT_EQ(status, FileStatus::Done);
    EXPECT_EQ(ScriptedUser::Read(path), "2048.000000\r\n-5.000000\r\n1.250000\r\n0.000000\r\n");
    EXPECT_EQ(user.status.Texts(), QStringList{"Saved 4 values to " + QDir::toNativeSeparators(path)});

    ASSERT_EQ(user.Load(path), FileStatus::Done);
    EXPECT_EQ(user.codes, (std::vector<double>{2048, -5, 1.25, 0}));
    EXPECT_EQ(user.settings.MaxValue, 2048);
    EXPECT_EQ(user.settings.MinValue, -5);
    const FileDialogRequest& save = user.chooser.requests.at(0);
    EXPECT_EQ(save.filter, "DAT Files|*.dat|All Files|*.*");
    EXPECT_TRUE(save.save && save.promptOverwrite);
    EXPECT_TRUE(user.messenger.shown.empty());

    // An existing file is replaced only when the user says yes.
    const QString kept = user.File("kept.dat", "old\r\n");
    user.Choose("kept");
    user.messenger.answers = {MessageResult::No};
    EXPECT_EQ(user.Save({2}, 1), FileStatus::Cancelled);
    EXPECT_EQ(ScriptedUser::Read(kept), "old\r\n");
    ASSERT_EQ(user.messenger.shown.size(), 1u);
    EXPECT_EQ(user.messenger.shown[0].buttons, MessageButtons::YesNo);

    // A block shorter than asked for: what is held is written and the user is told.
    user.Choose("short.dat");
    EXPECT_EQ(user.Save(std::vector<double>(1000, 1.0), 1024), FileStatus::Done);
    EXPECT_EQ(ScriptedUser::Read(user.Path("short.dat")).count("\r\n"), 1000);
    ASSERT_EQ(user.messenger.shown.size(), 2u);
    EXPECT_TRUE(user.messenger.shown[1].text.contains("1000 of the 1024"));
}

TEST(RawDataFile, FieldsValuesAndBlockExponent)
{
    struct Case { QByteArray content; std::vector<double> firstValues; size_t count; int exponent; };
    const Case cases[] = {
        // Counts no block length matches take the nearest one the board delivers.
        {NumberedLines(1000), {0, 1}, 1000, 2}, {NumberedLines(600), {0}, 600, 1}, {NumberedLines(182), {0}, 182, 0},
        {"1,5\r\n", {1, 5}, 2, 0},              {"1.5E3\r\n2e-1", {1500, 0.2}, 2, 0},
    };
    for (const Case& c : cases) {
        RawLoad load;
        ASSERT_EQ(load.Load(load.File("in.dat", c.content)), FileStatus::Done);
        ASSERT_EQ(load.codes.size(), c.count) << c.content.left(20).constData();
        for (size_t i = 0; i < c.firstValues.size(); ++i)
            EXPECT_EQ(load.codes[i], c.firstValues[i]) << i;
        EXPECT_EQ(load.settings.NumberOfSamples, c.exponent) << c.count;
    }
}

TEST(RawDataFile, BadFilesSayWhatIsWrongAndKeepTheBlockInHandWhenNotLoaded)
{
    const std::vector<double> old{7, 8, 9};
    struct Case {
        const char* name; QByteArray content; std::int16_t status; const char* message;
        QStringList lines; std::vector<double> codes; std::int16_t exponent;
    };
    const QString few = "%1 holds %2 values; blocks are 256 to 8192 samples, so it is taken as a block of 256";
    const Case cases[] = {
        {"empty.dat", "", FileStatus::Done, "", {"empty.dat holds no values; the block in hand stays"}, old, 3},
        {"missing.dat", {}, FileStatus::Abandoned, "The file does not exist.", {}, old, 3},
        {"huge.dat", NumberedLines(32768), FileStatus::Abandoned, "It holds more than 32767 values.", {}, old, 3},
        {"big.dat", QByteArray(1024 * 1024 + 1, '1'), FileStatus::Abandoned, "files of this kind are at most 1 MiB", {}, old, 3},
        {"", {}, FileStatus::Cancelled, "", {}, old, 3},
        {"letters.dat", "abc\r\n-3.25\r\n\x01\xff,", FileStatus::Done, "",
         {"letters.dat: 2 of its 3 fields held no number and read as 0 (first on line 1)", few.arg("letters.dat").arg(3)},
         {0, -3.25, 0}, 0},
        {"words.dat", QByteArray("abc\r\n").repeated(300), FileStatus::Abandoned,
         "No field in it is a number (line 1 reads \"abc\").", {}, old, 3},
        {"cut.dat", "-32768\r\n1e400\r\n4", FileStatus::Done, "", {few.arg("cut.dat").arg(3)},
         {-32768, HUGE_VAL, 4}, 0},
    };
    for (const Case& c : cases) {
        RawLoad load;
        if (!c.content.isNull())
            load.File(c.name, c.content);
        EXPECT_EQ(load.Load(*c.name ? load.Path(c.name) : QString()), c.status) << c.name;
        EXPECT_EQ(load.codes, c.codes) << c.name;
        EXPECT_EQ(load.settings.NumberOfSamples, c.exponent) << c.name;
        EXPECT_EQ(load.status.Texts(), c.lines) << c.name;
        ASSERT_EQ(load.messenger.shown.size(), *c.message ? 1u : 0u) << c.name;
        if (*c.message) {
            EXPECT_TRUE(load.messenger.shown[0].text.contains(c.name));
            EXPECT_TRUE(load.messenger.shown[0].text.contains(c.message)) << load.messenger.shown[0].text.toStdString();
        }
    }
}

TEST(RawDataFile, FailedOrCancelledSaveLeavesTheOldFileIntact)
{
    RawLoad user;
    const QString old = user.File("old.dat", "old\r\n");
    user.Choose("old.dat");
    std::int16_t status;
    {
        const FileSizeLimit diskFull(4096);
        status = user.Save(std::vector<double>(1024, 1.0), 1024);
    }
    EXPECT_EQ(status, FileStatus::Abandoned);
    ASSERT_EQ(user.messenger.shown.size(), 1u);
    EXPECT_TRUE(user.messenger.shown[0].text.contains("old.dat"));
    EXPECT_EQ(user.messenger.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(ScriptedUser::Read(old), "old\r\n");
    EXPECT_EQ(user.Save({1, 2}, 2), FileStatus::Cancelled);   // the script is used up
}
