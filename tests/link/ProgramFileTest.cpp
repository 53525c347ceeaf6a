#include "core/BadInputs.h"
#include "link/BoardRig.h"
#include "link/ProgramFile.h"

// Program files the download must refuse: result 2, nothing sent to the board, and a red
// status line that says what is wrong and where.

namespace {

QByteArray Words(int count, const QByteArray& word = "123456")
{
    QByteArray text = "x\r\n@PA\r\n0000\r\n";
    for (int i = 0; i < count; ++i)
        text += word + "\r\n";
    return text + "#\r\n";
}

} // namespace

TEST(ProgramFile, BadFilesAndWordsSendNothingAndSayWhy)
{
    BadInputs bad;
    struct Case { QString path; QString status; };
    const Case cases[] = {
        {bad.File("empty.prg", ""), "Program file empty.prg: its second field is not \"@PA\""},
        {bad.File("garbage.prg", BadInputs::Garbage()), "Program file garbage.prg: its second field is not \"@PA\""},
        {bad.File("cut.prg", "x\r\n@PA\r\n0000\r\n1234"),
         "Program file cut.prg: line 4: \"1234\" is not six hexadecimal digits"},
        {bad.File("noend.prg", "x\r\n@PA\r\n0000\r\n123456\r\n"),
         "Program file noend.prg: it ends before the \"#\" that closes the program"},
        {bad.File("hex.prg", "x\r\n@PA\r\n0000\r\n123456\r\n0C002G\r\n#\r\n"),
         "Program file hex.prg: line 5: \"0C002G\" is not six hexadecimal digits"},
        {bad.File("minus.prg", "x,@PA,0000,-12345,#"), "Program file minus.prg: line 1: \"-12345\" is not six hexadecimal digits"},
        {bad.File("long.prg", "x,@PA,0000,1234567,#"), "Program file long.prg: line 1: \"1234567\" is not six hexadecimal digits"},
        {bad.File("many.prg", Words(32768)), "Program file many.prg: it holds more than 32767 program words"},
        {bad.File("big.prg", QByteArray(600000, ' ')),
         "Program file big.prg: It is 600000 bytes long; files of this kind are at most 512 KiB."},
        {bad.Folder("folder.prg"), "Program file folder.prg: It is a folder, not a file."},
        {bad.Pipe("pipe.prg"), "Program file pipe.prg: It is a named pipe, not a file."},
    };
    for (const Case& c : cases) {
        BoardRig rig;
        rig.ctx.CurrentSettings.EXEName = c.path;
        EXPECT_EQ(LoadProgram(rig.ctx), 2) << c.path.toStdString();
        EXPECT_TRUE(rig.board.Trace().Records().empty());
        ASSERT_EQ(rig.status1.lines.size(), 1u) << c.path.toStdString();
        EXPECT_EQ(rig.status1.lines[0].text, c.status);
        EXPECT_EQ(rig.status1.lines[0].colour, Colour::Red);
    }
}

TEST(ProgramFile, TheLongestProgramTheLengthCarriesIsRead)
{
    const ProgramWords program = ReadProgramWords(Words(32767, "abcDEF"));
    ASSERT_TRUE(program.Words);
    EXPECT_EQ(program.Words->size(), 32768);
    EXPECT_TRUE(program.Problem.isEmpty());
}

TEST(ProgramFile, FileWithoutReadPermissionIsRefused)
{
    SKIP_WHEN_ROOT();
    BadInputs bad;
    BoardRig rig;
    rig.ctx.CurrentSettings.EXEName = bad.Unreadable("locked.prg", Words(1));
    EXPECT_EQ(LoadProgram(rig.ctx), 2);
    EXPECT_EQ(rig.status1.Texts(), QStringList{"Program file locked.prg: Permission to read it was denied."});
}
