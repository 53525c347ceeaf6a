#include "core/BadInputs.h"
#include "link/BoardRig.h"
#include "link/ProgramFile.h"

#include <gtest/gtest.h>

// The board program download against the simulated board's loader, byte for byte, and
// the program files it refuses.

namespace {

const QByteArray kExample = "x\r\n@PA\r\n0000\r\n123456\r\nABCDEF\r\n000000\r\n#\r\n";
// The block command (256 samples at 100000 Hz) through which a download sees its program run.
const Bytes kRunCheck = {0, 0x01, 0x8F, 7};

// A rig whose program file, in a fresh folder, holds `content`.
struct Download : BoardRig {
    explicit Download(const QByteArray& content = kExample, const QString& name = "ECB.EXE")
    {
        ctx.CurrentSettings.EXEName = files.File(name, content);
    }
    BadInputs files;
};

QByteArray Words(int count, const QByteArray& word = "123456")
{
    QByteArray text = "x\r\n@PA\r\n0000\r\n";
    for (int i = 0; i < count; ++i)
        text += word + "\r\n";
    return text + "#\r\n";
}

TEST(ProgramDownload, WholeDownloadsByteForByte)
{
    const Bytes command = {0, 0, 0, 2}, latchAndStart = {0x6C, 0, 0, 3, 0, 0, 0, 4};
    struct Case { QByteArray file; Bytes lengthAndPackets; QStringList fields; };
    const Case cases[] = {
        {kExample, {0, 3, 0x12, 0x34, 0x56, 0x9C, 0xAB, 0xCD, 0xEF, 0x67, 0, 0, 0, 0}, {"0000", "123456", "ABCDEF", "000000"}},
        // Lower-case digits, a checksum above 0xFF, and fields after the terminator never sent.
        {"name,@PA,0000,ffffff\r\n#end,222222\r\n333333\r\n", {0, 1, 0xFF, 0xFF, 0xFF, 0xFD}, {"0000", "ffffff"}},
    };
    for (const Case& c : cases) {
        Download rig(c.file);
        EXPECT_EQ(rig.Load(), 0);
        Bytes expected = command;
        for (const Bytes& part : {c.lengthAndPackets, latchAndStart, kRunCheck})
            expected.insert(expected.end(), part.begin(), part.end());
        EXPECT_EQ(rig.board.Trace().BytesWritten(), expected);
        const std::size_t words = std::size_t(c.fields.size() - 1);
        const Bytes read = rig.board.Trace().BytesRead();
        ASSERT_EQ(read.size(), words + 512u) << "the answers, then the whole check block";
        EXPECT_EQ(Bytes(read.begin(), read.begin() + std::ptrdiff_t(words)), Bytes(words, 13));
        EXPECT_EQ(ReadProgramFile(rig.ctx.CurrentSettings.EXEName).Words, c.fields);
        EXPECT_EQ(rig.board.State(), FirmwareState::RunningCommand);
    }
    // The file is found in any letter case.
    Download rig(kExample, "kv2680.prg");
    rig.ctx.CurrentSettings.EXEName = rig.files.dir.filePath("KV2680.PRG");
    EXPECT_EQ(rig.Load(), 0);
    EXPECT_EQ(rig.board.Firmware().ProgramWords(), (std::vector<std::uint32_t>{0x123456, 0xABCDEF, 0}));
    rig.ctx.CurrentSettings.EXEName = rig.files.dir.filePath("missing.prg");
    EXPECT_EQ(rig.Load(), 1);
}

TEST(ProgramDownload, BadFilesAndWordsSendNothingAndSayWhy)
{
    BadInputs bad;
    const QString noMarker = "its second field is not \"@PA\"";
    struct Case { QString path; QString status; };
    const Case cases[] = {
        {bad.File("empty.prg", ""), noMarker}, {bad.File("one.prg", "x\r\n"), noMarker},
        {bad.File("lower.prg", "x\r\n@pa\r\n0000\r\n123456\r\n#\r\n"), noMarker},
        {bad.File("cut.prg", "x\r\n@PA\r\n0000\r\n1234"), "line 4: \"1234\" is not six hexadecimal digits"},
        {bad.File("noend.prg", "x\r\n@PA\r\n0000\r\n123456\r\n"), "it ends before the \"#\" that closes the program"},
        {bad.File("hex.prg", "x\r\n@PA\r\n0000\r\n123456\r\n0C002G\r\n#\r\n"), "line 5: \"0C002G\" is not six hexadecimal digits"},
        {bad.File("sign.prg", "x,@PA,0000,-12345,#"), "line 1: \"-12345\" is not six hexadecimal digits"},
        {bad.File("long.prg", "x,@PA,0000,1234567,#"), "line 1: \"1234567\" is not six hexadecimal digits"},
        {bad.File("many.prg", Words(32768)), "it holds more than 32767 program words"},
        {bad.File("big.prg", QByteArray(600000, ' ')), "It is 600000 bytes long; files of this kind are at most 512 KiB."},
    };
    for (const Case& c : cases) {
        BoardRig rig;
        rig.ctx.CurrentSettings.EXEName = c.path;
        EXPECT_EQ(rig.Load(), 2) << c.path.toStdString();
        EXPECT_TRUE(rig.board.Trace().Records().empty());
        EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
        ASSERT_EQ(rig.status1.lines.size(), 1u) << c.path.toStdString();
        EXPECT_EQ(rig.status1.lines[0].text, "Program file " + QFileInfo(c.path).fileName() + ": " + c.status);
        EXPECT_EQ(rig.status1.lines[0].colour, Colour::Red);
    }
    // The longest program the length carries is read.
    const ProgramWords program = ReadProgramWords(Words(32767, "abcDEF"));
    ASSERT_TRUE(program.Words);
    EXPECT_EQ(program.Words->size(), 32768);
}

TEST(ProgramDownload, AWordRefusedThreeTimesEndsTheDownload)
{
    Download thrice;
    thrice.board.Faults().badChecksums = {{2, 1}, {2, 2}, {2, 3}};
    EXPECT_EQ(thrice.Load(), 6);
    EXPECT_EQ(thrice.board.Trace().BytesRead(), (Bytes{13, 0x15, 0x15, 0x15}));
    EXPECT_TRUE(thrice.board.Trace().FramesWithCode(3).empty()) << "no latch load";
    EXPECT_TRUE(thrice.board.Trace().FramesWithCode(4).empty()) << "no start";
}

TEST(ProgramDownload, FailuresOfEachStepGiveTheirResult)
{
    // The download needs 4 command bytes, 2 length bytes, 3 packets of 5 transfers, then
    // 4 + 4 bytes of latch load and start, and the check block: 4 bytes and 512 answered.
    // A fault on one transfer instead of silence: the start command's code byte
    // acknowledged but never taken leaves the loader holding a program it never started.
    struct Case { std::int64_t answered; std::int16_t result; LineFault fault = LineFault::None; };
    const Case cases[] = {{0, 3}, {3, 3}, {4, 5}, {5, 5}, {6, 6}, {6 + 7, 6}, {6 + 15, 7}, {6 + 15 + 4, 7},
                          {6 + 15 + 8, 7}, {6 + 15 + 8 + 4 + 300, 7}, {6 + 15 + 8 + 4 + 512, 0},
                          {6 + 15 + 7, 7, LineFault::SpuriousAcknowledge}, {6 + 15 + 7, 7, LineFault::LostStrobe}};
    for (const Case& c : cases) {
        Download rig;
        if (c.fault == LineFault::None)
            rig.board.StopAnsweringAfter(c.answered);
        else
            rig.board.StrikeAfter(c.fault, c.answered);
        EXPECT_EQ(rig.Load(), c.result) << c.answered;
        if (c.result == 0) {
            EXPECT_TRUE(InProgram(rig.board.State()));
        }
    }
}

TEST(ProgramDownload, SendPacketAndLengthErrorsNameTheFailingWrite)
{
    // The fifth transfer is the checksum answer: none at all counts as a refused checksum.
    const char* packet[] = {"Command Failed on First Write", "Command Failed on Second Write",
                            "Command Failed on Third Write", "Command Failed on Third Write", "Checksum Error"};
    for (int k = 0; k < 5; ++k) {
        BoardRig rig;
        rig.StartDownload(5);
        rig.board.StopAnsweringAfter(k);
        EXPECT_EQ(Raised([&] { SendPacket(rig.link, "123456"); }),
                  std::string(k < 4 ? "506" : "520") + "|SendPacket|" + (k < 4 ? "SendPacket " : "") + packet[k]);
    }
    for (int k : {0, 1}) {
        BoardRig rig;
        SendCommand(rig.link, 0, 0, 2);
        rig.board.StopAnsweringAfter(k);
        EXPECT_EQ(Raised([&] { SendProgramLength(rig.link, 0x0102); }),
                  std::string("505|SendProgramLength|SendProgramLength Command Failed on ") + (k == 0 ? "High Byte" : "Low Byte"));
    }
    BoardRig rig;
    rig.StartDownload(0x0102);
    EXPECT_EQ(rig.board.Trace().BytesWritten(), (Bytes{0, 0, 0, 2, 1, 2}));
}

} // namespace
