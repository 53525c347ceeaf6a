#include "config/ConfigFile.h"
#include "core/BadInputs.h"
#include "support/FakePort.h"   // message boxes compare as a whole

#include <QFile>

#include <gtest/gtest.h>

namespace {

// A configuration file in a temporary folder, read into settings that start from values
// no key would give, and a latch at its start-up value 0x90.
class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        s.PartName = "old part";
        s.EXEName = "OLD.EXE";
        s.SampleFreq = s.Max_Frequency = 7;
        s.NumberOfSamples = s.NumberOfBits = s.DataFormat = 7;
        s.InputVMax = s.InputVMin = 7;
        latch.SetValue(0x90);
        messages.shown.clear();
    }

    std::int16_t Read(const QString& path) { return ReadConfigFile(path, s, latch, items, messages); }

    // The fields the reader sets, in key order, then the latch in hex, as one comparable line.
    QString Outcome() const
    {
        const auto n = [](double v) { return QString::number(v, 'g', 10); };
        return QStringList{s.PartName, s.EXEName, n(s.SampleFreq), n(s.Max_Frequency), n(s.NumberOfSamples),
                           n(s.DataFormat), n(s.NumberOfBits), n(s.InputVMax), n(s.InputVMin),
                           QString::number(latch.Value(), 16)}.join('|');
    }

    BadInputs files;
    Settings s;
    Latch latch;
    QStringList items{"stale item"};
    ScriptedMessenger messages;
};

const QByteArray kHeader = "[EVAL-CONTROL BOARD]\r\n";
const QString kNoProgram = "This file does not contian an EXE filename to load.\r\nPlease select a valid INI file.";

TEST_F(ConfigFileTest, KeysSetTheirFieldsAndComposeTheLatch)
{
    // After a header in other letter case and "PROGRAMNAME:P.PRG"; absent keys give defaults.
    struct Case { QByteArray lines; QString outcome; };
    const Case cases[] = {
        {"", "Unknown|P.PRG|100000|250000|0|0|12|5|0|90"},   // everything off, both voltage selects high
        {"MAXSAMPLEFREQUENCY:1000000\r\nSAMPLEFREQUENCY:500000\r\n", "Unknown|P.PRG|1000000|1000000|0|0|12|5|0|90"},
        {"SAMPLEFREQUENCY=500000\r\n", "Unknown|P.PRG|0|250000|0|0|12|5|0|90"},
        {"SAMPLEFREQUENCY: 1 2 5 000 Hz\r\nSAMPLES:1000\r\n", "Unknown|P.PRG|125000|250000|2|0|12|5|0|90"},
        {"SAMPLES:11000\r\nNUMBEROFBITS:none\r\n", "Unknown|P.PRG|100000|250000|5|0|0|5|0|90"},
        {"note: 2048 SAMPLES\r\nSAMPLES:8192\r\n", "Unknown|P.PRG|100000|250000|3|0|12|5|0|90"},
        {"DVDD:3.3V ON\r\nDATAFORMAT:TWOS\r\n", "Unknown|P.PRG|100000|250000|0|1|12|5|0|d0"},
        {"DVDD:5V OFF\r\nDATAFORMAT:\r\n", "Unknown|P.PRG|100000|250000|0|1|12|5|0|10"},
        {"avdd:5v on\r\nDATAFORMAT:Binary\r\nNUMBEROFBITS:12.5\r\n", "Unknown|P.PRG|100000|250000|0|0|12|5|0|88"},
        {"+/-15V:OFF\r\nBUS:on\r\nINPUTVMAX:abc\r\n", "Unknown|P.PRG|100000|250000|0|0|12|0|0|94"},
        {"PARTNAME=KV2680\r\n", "PARTNAME=KV2680|P.PRG|100000|250000|0|0|12|5|0|90"},
        {"PartName:Kv:2680\r\n", "Kv:2680|P.PRG|100000|250000|0|0|12|5|0|90"},
        // Last, so its items are checked below; INPUTVMIN stands on the last line, without a line end.
        {"PARTNAME:KV2680\r\nSAMPLEFREQUENCY:500000\r\nMAXSAMPLEFREQUENCY:1000000\r\nSAMPLES:1024\r\n"
         "+/-15V:ON\r\nDVDD:5V ON\r\nAVDD:3.3V ON\r\nBUS:ON\r\nDATAFORMAT:BINARY\r\nNUMBEROFBITS:14\r\n"
         "INPUTVMAX:2.5\r\nINPUTVMIN:-2.5", "KV2680|P.PRG|500000|1000000|2|0|14|2.5|-2.5|7c"},
    };
    for (const auto& c : cases) {
        SetUp();
        EXPECT_EQ(Read(files.File("good.cfg", "[eval-control board]\r\nPROGRAMNAME:P.PRG\r\n" + c.lines)), 0);
        EXPECT_EQ(Outcome(), c.outcome) << c.lines.constData();
        EXPECT_TRUE(messages.shown.empty());
    }
    EXPECT_EQ(items.size(), 13);
    EXPECT_EQ(items.last(), "INPUTVMIN:-2.5");
}

TEST_F(ConfigFileTest, BadFilesAndValuesAreRefusedWithTheirCauseAndKeepWhatWasSetBefore)
{
    const QString old = "old part|OLD.EXE|7|7|7|7|7|7|7|90";
    const QByteArray start = kHeader + "PARTNAME:NEW\r\nPROGRAMNAME:P.PRG\r\n";
    const MessageRequest notCfg{"This is not a valid CFG file", "File Selection Error", MessageIcon::Exclamation};
    const auto error = [](const QString& text) { return MessageRequest{text, "Error", MessageIcon::Exclamation}; };
    const auto unexpected = [&](int code, const QString& cause = {}) {
        return error(QString("An Unexpected Error (Code:%1 Occurred.\r\nPlease check the synthax of the .INI file.")
                         .arg(code) + cause);
    };
    struct Case { QString path; std::int16_t result; MessageRequest message; QString outcome; };
    const Case cases[] = {
        {files.File("space.cfg", "[EVAL CONTROL BOARD]\r\nPROGRAMNAME:A.PRG\r\n"), 2, notCfg, old},
        {files.File("blank.cfg", "\r\nPROGRAMNAME:A.PRG\r\n"), 2, notCfg, old},
        {files.File("empty.cfg", ""), 2, notCfg, old},
        {files.File("garbage.cfg", BadInputs::Garbage()), 2, notCfg, old},
        // Cancelled: the keys before the program name stay, the part name is emptied.
        {files.File("cut.cfg", kHeader + "PARTNAME:NEW\r\nPROGRAMNA"), 0,
         {kNoProgram, "File Selection Error", MessageIcon::Exclamation, MessageButtons::RetryCancel},
         "|OLD.EXE|7|7|7|7|7|7|7|90"},
        {files.File("zero.cfg", start + "SAMPLES:0\r\n"), 2, unexpected(5), "NEW|P.PRG|100000|250000|7|7|7|7|7|90"},
        {files.File("fast.cfg", start + "SAMPLEFREQUENCY:1E10\r\n"), 2, unexpected(6), "NEW|P.PRG|7|7|7|7|7|7|7|90"},
        {files.File("big.cfg", start + QByteArray(70000, ' ')), 2,
         unexpected(75, "\r\nbig.cfg: It is 70055 bytes long; files of this kind are at most 64 KiB."), old},
        {files.File("bits.cfg", start + "SAMPLES:512\r\nNUMBEROFBITS:33\r\n"), 2,
         error("bits.cfg, line 5: \"NUMBEROFBITS:33\" is out of range:\r\nthe number of bits must be from 1 to 16."),
         "NEW|P.PRG|100000|250000|1|0|7|7|7|90"},
        {files.File("minus.cfg", start + "SAMPLEFREQUENCY:-5\r\n"), 2,
         error("minus.cfg, line 4: \"SAMPLEFREQUENCY:-5\" is out of range:\r\na frequency must be from 611 to 40000000 Hz."),
         "NEW|P.PRG|7|7|7|7|7|7|7|90"},
        {files.File("volts.cfg", start + "INPUTVMIN:-1e400\r\n"), 2,
         error("volts.cfg, line 4: \"INPUTVMIN:-1e400\" is out of range:\r\na voltage must be from -1000 to 1000 V."),
         "NEW|P.PRG|100000|250000|0|0|12|5|7|90"},
        {files.dir.filePath("missing.cfg"), 2, unexpected(53, "\r\nmissing.cfg: The file does not exist."), old},
        {files.dir.filePath("gone/x.cfg"), 2, unexpected(76, "\r\nx.cfg: The folder it should be in does not exist."), old},
    };
    for (const Case& c : cases) {
        SetUp();
        items = QStringList{"stale item"};
        EXPECT_EQ(Read(c.path), c.result) << c.path.toStdString();
        EXPECT_EQ(messages.shown, std::vector<MessageRequest>{c.message}) << c.path.toStdString();
        EXPECT_EQ(Outcome(), c.outcome) << c.path.toStdString();
        EXPECT_TRUE(c.message.text != notCfg.text || items.isEmpty());
    }
}

TEST_F(ConfigFileTest, RetryReadsTheFileAgain)
{
    const QString path = files.File("retry.cfg", kHeader + "PARTNAME:KV2680\r\n");
    messages.answers = {MessageResult::Retry};
    messages.onShow = [&](const MessageRequest&) {
        files.File("retry.cfg", kHeader + "PARTNAME:KV2680\r\nPROGRAMNAME:FIXED.PRG\r\n");
    };
    EXPECT_EQ(Read(path), 0);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(Outcome(), "KV2680|FIXED.PRG|100000|250000|0|0|12|5|0|90");
    EXPECT_EQ(items, (QStringList{"PARTNAME:KV2680", "PROGRAMNAME:FIXED.PRG"}));
}

TEST_F(ConfigFileTest, NameInOtherLetterCaseOpensTheExistingFile)
{
    files.File("KV2680.CFG", kHeader + "PROGRAMNAME:P.PRG\r\n");
    EXPECT_EQ(Read(files.dir.filePath("kv2680.cfg")), 0);
    EXPECT_EQ(s.EXEName, "P.PRG");
}

} // namespace
