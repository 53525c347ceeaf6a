#include "link/BoardRig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The board program download against the simulated board's loader, byte for byte.

namespace {

// A program file in a fresh folder that is the current directory for the test's life.
class ProgramFolder {
public:
    ProgramFolder() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~ProgramFolder() { QDir::setCurrent(previous_); }
    void Write(const QString& name, const QByteArray& content)
    {
        QFile f(dir_.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

private:
    QTemporaryDir dir_;
    QString previous_;
};

const QByteArray kExample = "x\r\n@PA\r\n0000\r\n123456\r\nABCDEF\r\n000000\r\n#\r\n";

std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts)
{
    std::vector<std::uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace

TEST(ProgramDownload, PacketBytesAndChecksums)
{
    struct Case { const char* word; std::vector<std::uint8_t> bytes; };
    const std::vector<Case> cases = {
        {"123456", Bytes({0x12, 0x34, 0x56, 0x9C})},
        {"FFFFFF", Bytes({0xFF, 0xFF, 0xFF, 0xFD})},
        {"abcdef", Bytes({0xAB, 0xCD, 0xEF, 0x67})},
        {"000000", Bytes({0, 0, 0, 0})},
    };
    for (const Case& c : cases) {
        BoardRig rig;
        SendCommand(rig.ctx, 0, 0, 2);
        SendProgramLength(rig.ctx, 1);
        rig.board.Trace().Clear();
        SendPacket(rig.ctx, QString::fromLatin1(c.word));
        EXPECT_EQ(rig.board.Trace().BytesWritten(), c.bytes) << c.word;
        EXPECT_EQ(rig.board.Trace().BytesRead(), Bytes({13}));
        EXPECT_TRUE(rig.board.Firmware().ProgramLoaded());
    }
}

TEST(ProgramDownload, TheExampleFileDownloadsAndStarts)
{
    ProgramFolder folder;
    folder.Write("ECB.EXE", kExample);
    BoardRig rig;
    rig.ctx.CurrentSettings.EXEName = "ECB.EXE";
    rig.ctx.BoardLatch.SetValue(0x6C);
    EXPECT_EQ(LoadProgram(rig.ctx), 0);

    EXPECT_EQ(rig.board.Trace().BytesWritten(),
              Concat({Bytes({0, 0, 0, 2}), Bytes({0, 3}),
                      Bytes({0x12, 0x34, 0x56, 0x9C}), Bytes({0xAB, 0xCD, 0xEF, 0x67}), Bytes({0, 0, 0, 0}),
                      Bytes({0x6C, 0, 0, 3}), Bytes({0, 0, 0, 4})}));
    EXPECT_EQ(rig.board.Trace().BytesRead(), Bytes({13, 13, 13}));
    EXPECT_EQ(rig.ctx.lstINI_File, (QStringList{"0000", "123456", "ABCDEF", "000000"}));
    EXPECT_EQ(rig.board.Firmware().ProgramWords(), (std::vector<std::uint32_t>{0x123456, 0xABCDEF, 0}));
    EXPECT_EQ(rig.board.State(), FirmwareState::RunningCommand);
    EXPECT_EQ(rig.board.LatchValue(), 0x6C);
}

TEST(ProgramDownload, FieldsAfterTheTerminatorAreNeverSent)
{
    ProgramFolder folder;
    folder.Write("p.prg", "name,@PA,0000,111111\r\n#end,222222\r\n333333\r\n");
    BoardRig rig;
    rig.ctx.CurrentSettings.EXEName = "p.prg";
    EXPECT_EQ(LoadProgram(rig.ctx), 0);
    EXPECT_EQ(rig.ctx.lstINI_File, (QStringList{"0000", "111111"}));
    EXPECT_EQ(rig.board.Trace().BytesWritten(),
              Concat({Bytes({0, 0, 0, 2}), Bytes({0, 1}), Bytes({0x11, 0x11, 0x11, 0x33}),
                      Bytes({0x6C, 0, 0, 3}), Bytes({0, 0, 0, 4})}));
}

TEST(ProgramDownload, FilesThatAreNotProgramsSendNothing)
{
    struct Case { const char* name; QByteArray content; std::int16_t result; };
    const Case cases[] = {
        {"lower.prg", "x\r\n@pa\r\n0000\r\n123456\r\n#\r\n", 2},
        {"empty.prg", "", 2},
        {"one.prg", "x\r\n", 2},
        {"noend.prg", "x\r\n@PA\r\n0000\r\n123456\r\n", 2},   // ends before a "#" field
        {"missing.prg", QByteArray(), 1},
    };
    for (const Case& c : cases) {
        ProgramFolder folder;
        if (c.result != 1)
            folder.Write(c.name, c.content);
        BoardRig rig;
        rig.ctx.lstINI_File = QStringList{"stale"};
        rig.ctx.CurrentSettings.EXEName = c.name;
        EXPECT_EQ(LoadProgram(rig.ctx), c.result) << c.name;
        EXPECT_TRUE(rig.board.Trace().Records().empty()) << c.name;
        EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
    }
}

TEST(ProgramDownload, TheFileIsFoundInAnyLetterCase)
{
    ProgramFolder folder;
    folder.Write("kv2680.prg", kExample);
    BoardRig rig;
    rig.ctx.CurrentSettings.EXEName = "KV2680.PRG";
    EXPECT_EQ(LoadProgram(rig.ctx), 0);
    EXPECT_EQ(rig.board.Firmware().ProgramWords().size(), 3u);
}

TEST(ProgramDownload, AChecksumAcceptedOnTheSecondAttempt)
{
    ProgramFolder folder;
    folder.Write("ECB.EXE", kExample);
    BoardRig rig;
    rig.ctx.CurrentSettings.EXEName = "ECB.EXE";
    rig.board.Faults().badChecksums = {{2, 1}};   // word ABCDEF, first attempt
    EXPECT_EQ(LoadProgram(rig.ctx), 0);
    EXPECT_EQ(rig.board.Trace().BytesRead(), Bytes({13, 0x15, 13, 13}));
    EXPECT_EQ(rig.board.Firmware().ProgramWords(), (std::vector<std::uint32_t>{0x123456, 0xABCDEF, 0}));
    EXPECT_EQ(rig.board.State(), FirmwareState::RunningCommand);
}

TEST(ProgramDownload, ThreeRefusalsOfOnePacketEndTheDownload)
{
    ProgramFolder folder;
    folder.Write("ECB.EXE", kExample);
    BoardRig rig;
    rig.ctx.CurrentSettings.EXEName = "ECB.EXE";
    rig.board.Faults().badChecksums = {{2, 1}, {2, 2}, {2, 3}};
    EXPECT_EQ(LoadProgram(rig.ctx), 6);
    EXPECT_EQ(rig.board.Trace().BytesRead(), Bytes({13, 0x15, 0x15, 0x15}));
    EXPECT_TRUE(rig.board.Trace().FramesWithCode(3).empty()) << "no latch load";
    EXPECT_TRUE(rig.board.Trace().FramesWithCode(4).empty()) << "no start";
}

TEST(ProgramDownload, SendPacketErrors)
{
    BoardRig rig;
    SendCommand(rig.ctx, 0, 0, 2);
    SendProgramLength(rig.ctx, 5);
    const char* names[] = {"SendPacket Command Failed on First Write", "SendPacket Command Failed on Second Write",
                           "SendPacket Command Failed on Third Write", "SendPacket Command Failed on Third Write"};
    for (int k = 0; k < 4; ++k) {
        rig.board.StopAnsweringAfter(k);
        const auto error = Raised([&] { SendPacket(rig.ctx, "123456"); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->Number, 506);
        EXPECT_EQ(error->Source, "SendPacket");
        EXPECT_EQ(error->Description, names[k]);
        rig.board.PressResetButton();
        rig.board.Faults().silentAfterTransfer = -1;
        SendCommand(rig.ctx, 0, 0, 2);
        SendProgramLength(rig.ctx, 5);
    }
    // No answer at all counts as a refused checksum.
    rig.board.StopAnsweringAfter(4);
    const auto error = Raised([&] { SendPacket(rig.ctx, "123456"); });
    EXPECT_EQ(error->Number, 520);
    EXPECT_EQ(error->Description, "Checksum Error");
}

TEST(ProgramDownload, FailuresOfEachStepGiveTheirResult)
{
    // The download needs 4 command bytes, 2 length bytes, 3 packets of 5 transfers, then
    // 4 + 4 bytes of latch load and start.
    struct Case { std::int64_t answered; std::int16_t result; };
    const Case cases[] = {{0, 3}, {3, 3}, {4, 5}, {5, 5}, {6 + 15, 7}, {6 + 15 + 4, 7}, {6 + 15 + 8, 0}};
    for (const Case& c : cases) {
        ProgramFolder folder;
        folder.Write("ECB.EXE", kExample);
        BoardRig rig;
        rig.ctx.CurrentSettings.EXEName = "ECB.EXE";
        rig.board.StopAnsweringAfter(c.answered);
        EXPECT_EQ(LoadProgram(rig.ctx), c.result) << c.answered;
    }
}

TEST(ProgramDownload, SendProgramLengthErrors)
{
    for (int k : {0, 1}) {
        BoardRig rig;
        SendCommand(rig.ctx, 0, 0, 2);
        rig.board.StopAnsweringAfter(k);
        const auto error = Raised([&] { SendProgramLength(rig.ctx, 0x0102); });
        ASSERT_TRUE(error);
        EXPECT_EQ(error->Number, 505);
        EXPECT_EQ(error->Source, "SendProgramLength");
        EXPECT_EQ(error->Description, k == 0 ? "SendProgramLength Command Failed on High Byte"
                                             : "SendProgramLength Command Failed on Low Byte");
    }
    BoardRig rig;
    SendCommand(rig.ctx, 0, 0, 2);
    SendProgramLength(rig.ctx, 0x0102);
    EXPECT_EQ(rig.board.Trace().BytesWritten(), Concat({Bytes({0, 0, 0, 2}), Bytes({1, 2})}));
}
