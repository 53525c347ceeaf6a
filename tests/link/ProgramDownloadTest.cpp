#include "link/BoardRig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The board program download against the simulated board's loader, byte for byte.

namespace {

const QByteArray kExample = "x\r\n@PA\r\n0000\r\n123456\r\nABCDEF\r\n000000\r\n#\r\n";

// A rig whose program file (written into a fresh folder that is the current directory
// for the test's life) is `file`.
class Download : public BoardRig {
public:
    explicit Download(const QByteArray& content = kExample, const QString& file = "ECB.EXE",
                      const QString& configured = QString())
        : previous_(QDir::currentPath())
    {
        QDir::setCurrent(dir_.path());
        if (!content.isNull()) {
            QFile f(dir_.filePath(file));
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        ctx.CurrentSettings.EXEName = configured.isEmpty() ? file : configured;
    }
    ~Download() { QDir::setCurrent(previous_); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// The block command (256 samples at 100000 Hz) through which a download sees its program run.
const Bytes kRunCheck = {0, 0x01, 0x8F, 7};

Bytes Head(const Bytes& bytes, std::size_t n)
{
    return Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(std::min(n, bytes.size())));
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace

TEST(ProgramDownload, PacketBytesAndChecksums)
{
    struct Case { const char* word; Bytes bytes; };
    const Case cases[] = {
        {"123456", {0x12, 0x34, 0x56, 0x9C}},
        {"FFFFFF", {0xFF, 0xFF, 0xFF, 0xFD}},
        {"abcdef", {0xAB, 0xCD, 0xEF, 0x67}},
    };
    for (const Case& c : cases) {
        BoardRig rig;
        rig.StartDownload();
        rig.board.Trace().Clear();
        SendPacket(rig.ctx, QString::fromLatin1(c.word));
        EXPECT_EQ(rig.board.Trace().BytesWritten(), c.bytes) << c.word;
        EXPECT_EQ(rig.board.Trace().BytesRead(), Bytes{13});
        EXPECT_TRUE(rig.board.Firmware().ProgramLoaded());
    }
}

TEST(ProgramDownload, TheExampleFileDownloadsAndStarts)
{
    Download rig;
    EXPECT_EQ(LoadProgram(rig.ctx), 0);
    EXPECT_EQ(rig.board.Trace().BytesWritten(),
              Concat({{0, 0, 0, 2}, {0, 3}, {0x12, 0x34, 0x56, 0x9C}, {0xAB, 0xCD, 0xEF, 0x67}, {0, 0, 0, 0},
                      {0x6C, 0, 0, 3}, {0, 0, 0, 4}, kRunCheck}));
    EXPECT_EQ(Head(rig.board.Trace().BytesRead(), 3), (Bytes{13, 13, 13}));
    EXPECT_EQ(rig.board.Trace().BytesRead().size(), 3u + 512u) << "then the whole check block";
    EXPECT_EQ(rig.ctx.lstINI_File, (QStringList{"0000", "123456", "ABCDEF", "000000"}));
    EXPECT_EQ(rig.board.Firmware().ProgramWords(), (std::vector<std::uint32_t>{0x123456, 0xABCDEF, 0}));
    EXPECT_EQ(rig.board.State(), FirmwareState::RunningCommand);
    EXPECT_EQ(rig.board.LatchValue(), 0x6C);
}

TEST(ProgramDownload, FieldsAfterTheTerminatorAreNeverSent)
{
    Download rig("name,@PA,0000,111111\r\n#end,222222\r\n333333\r\n", "p.prg");
    EXPECT_EQ(LoadProgram(rig.ctx), 0);
    EXPECT_EQ(rig.ctx.lstINI_File, (QStringList{"0000", "111111"}));
    EXPECT_EQ(rig.board.Trace().BytesWritten(),
              Concat({{0, 0, 0, 2}, {0, 1}, {0x11, 0x11, 0x11, 0x33}, {0x6C, 0, 0, 3}, {0, 0, 0, 4}, kRunCheck}));
}

TEST(ProgramDownload, TheFileIsFoundInAnyLetterCase)
{
    Download rig(kExample, "kv2680.prg", "KV2680.PRG");
    EXPECT_EQ(LoadProgram(rig.ctx), 0);
    EXPECT_EQ(rig.board.Firmware().ProgramWords().size(), 3u);
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
        Download rig(c.content, c.name);
        rig.ctx.lstINI_File = QStringList{"stale"};
        EXPECT_EQ(LoadProgram(rig.ctx), c.result) << c.name;
        EXPECT_TRUE(rig.board.Trace().Records().empty()) << c.name;
        EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
    }
}

TEST(ProgramDownload, RefusedChecksumsAreRetriedUpToThreeTimes)
{
    // Word ABCDEF refused on its first attempt: accepted on the second.
    Download once;
    once.board.Faults().badChecksums = {{2, 1}};
    EXPECT_EQ(LoadProgram(once.ctx), 0);
    EXPECT_EQ(Head(once.board.Trace().BytesRead(), 4), (Bytes{13, 0x15, 13, 13}));
    EXPECT_EQ(once.board.Firmware().ProgramWords(), (std::vector<std::uint32_t>{0x123456, 0xABCDEF, 0}));
    EXPECT_EQ(once.board.State(), FirmwareState::RunningCommand);

    Download thrice;
    thrice.board.Faults().badChecksums = {{2, 1}, {2, 2}, {2, 3}};
    EXPECT_EQ(LoadProgram(thrice.ctx), 6);
    EXPECT_EQ(thrice.board.Trace().BytesRead(), (Bytes{13, 0x15, 0x15, 0x15}));
    EXPECT_TRUE(thrice.board.Trace().FramesWithCode(3).empty()) << "no latch load";
    EXPECT_TRUE(thrice.board.Trace().FramesWithCode(4).empty()) << "no start";
}

TEST(ProgramDownload, FailuresOfEachStepGiveTheirResult)
{
    // The download needs 4 command bytes, 2 length bytes, 3 packets of 5 transfers, then
    // 4 + 4 bytes of latch load and start.
    // 4 + 4 bytes of latch load and start, and the check block: 4 bytes and 512 answered.
    // A fault on one transfer instead of silence: the start command's code byte
    // acknowledged but never taken leaves the loader holding a program it never started.
    struct Case { std::int64_t answered; std::int16_t result; LineFault fault = LineFault::None; };
    const Case cases[] = {{0, 3}, {3, 3}, {4, 5}, {5, 5}, {6, 6}, {6 + 7, 6}, {6 + 15, 7}, {6 + 15 + 4, 7},
                          {6 + 15 + 8, 7}, {6 + 15 + 8 + 4 + 300, 7}, {6 + 15 + 8 + 4 + 512, 0},
                          {6 + 15 + 7, 7, LineFault::SpuriousAcknowledge},
                          {6 + 15 + 7, 7, LineFault::LostStrobe}};
    for (const Case& c : cases) {
        Download rig;
        if (c.fault == LineFault::None)
            rig.board.StopAnsweringAfter(c.answered);
        else
            rig.board.StrikeAfter(c.fault, c.answered);
        EXPECT_EQ(LoadProgram(rig.ctx), c.result) << c.answered;
        if (c.result == 0) {
            EXPECT_TRUE(InProgram(rig.board.State()));
        }
    }
}

TEST(ProgramDownload, SendPacketAndLengthErrorsNameTheFailingWrite)
{
    const char* names[] = {"First Write", "Second Write", "Third Write", "Third Write"};
    for (int k = 0; k < 4; ++k) {
        BoardRig rig;
        rig.StartDownload(5);
        rig.board.StopAnsweringAfter(k);
        EXPECT_EQ(Raised([&] { SendPacket(rig.ctx, "123456"); }),
                  std::string("506|SendPacket|SendPacket Command Failed on ") + names[k]);
    }
    // No answer at all counts as a refused checksum.
    BoardRig silent;
    silent.StartDownload(5);
    silent.board.StopAnsweringAfter(4);
    EXPECT_EQ(Raised([&] { SendPacket(silent.ctx, "123456"); }), "520|SendPacket|Checksum Error");

    for (int k : {0, 1}) {
        BoardRig rig;
        SendCommand(rig.ctx, 0, 0, 2);
        rig.board.StopAnsweringAfter(k);
        EXPECT_EQ(Raised([&] { SendProgramLength(rig.ctx, 0x0102); }),
                  std::string("505|SendProgramLength|SendProgramLength Command Failed on ") +
                      (k == 0 ? "High Byte" : "Low Byte"));
    }
    BoardRig rig;
    rig.StartDownload(0x0102);
    EXPECT_EQ(rig.board.Trace().BytesWritten(), (Bytes{0, 0, 0, 2, 1, 2}));
}
