#include "core/TextFileGate.h"

#include "core/BadInputs.h"

TEST(TextFileGate, ReadsRegularFilesWithinTheLimitAndNamesTheCauseOtherwise)
{
    BadInputs bad;
    struct Case { QString path; std::optional<QByteArray> content; int number; const char* reason; };
    const Case cases[] = {
        {bad.File("ok.cfg", "abc\r\n"), "abc\r\n", 0, ""},
        {bad.File("empty.cfg", ""), "", 0, ""},
        {bad.File("limit.cfg", QByteArray(1024, 'x')), QByteArray(1024, 'x'), 0, ""},
        {bad.File("big.cfg", QByteArray(1025, 'x')), std::nullopt, 75, "1025 bytes long; files of this kind are at most 1 KiB"},
        {bad.Folder("folder.cfg"), std::nullopt, 75, "It is a folder, not a file."},
        {bad.Pipe("pipe.cfg"), std::nullopt, 75, "It is a named pipe, not a file."},
        {"/dev/zero", std::nullopt, 75, "It is a device, not a file."},
        {bad.dir.filePath("missing.cfg"), std::nullopt, 53, "The file does not exist."},
        {bad.dir.filePath("nowhere/missing.cfg"), std::nullopt, 76, "The folder it should be in does not exist."},
        {bad.dir.filePath("ok.cfg/inside.cfg"), std::nullopt, 76, "A folder on its path does not exist."},
        {QString(), std::nullopt, 53, "The file does not exist."},
    };
    for (const Case& c : cases) {
        const TextFile file = ReadTextFile(c.path, 1024);
        EXPECT_EQ(file.Content, c.content) << c.path.toStdString();
        EXPECT_EQ(file.Problem.Number, c.number) << c.path.toStdString();
        EXPECT_TRUE(file.Problem.Reason.contains(QLatin1String(c.reason))) << file.Problem.Reason.toStdString();
    }
}

TEST(TextFileGate, FileWithoutReadPermissionIs70)
{
    SKIP_WHEN_ROOT();
    BadInputs bad;
    const TextFile file = ReadTextFile(bad.Unreadable("locked.cfg", "abc"), 1024);
    EXPECT_FALSE(file.Content);
    EXPECT_EQ(file.Problem.Number, 70);
    EXPECT_EQ(file.Problem.Reason, "Permission to read it was denied.");
}
