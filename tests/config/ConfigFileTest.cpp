#include "config/ConfigFile.h"
#include "core/BadInputs.h"
#include "support/FakePort.h"   // message boxes compare as a whole

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <gtest/gtest.h>

namespace {

// A configuration file in a temporary folder, read into settings that start from values
// no key would give, and a latch at its start-up value 0x90.
class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        s.PartName = "old part";
        s.EXEName = "OLD.EXE";
        s.SampleFreq = s.Max_Frequency = 7;
        s.NumberOfSamples = s.NumberOfBits = s.DataFormat = 7;
        s.InputVMax = s.InputVMin = 7;
        latch.SetValue(0x90);
        messages.shown.clear();
    }

    QString Write(const QByteArray& content, const QString& name = "test.cfg")
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName();
    }

    std::int16_t Read(const QByteArray& content)
    {
        return ReadConfigFile(Write(content), s, latch, items, messages);
    }

    QTemporaryDir dir;
    Settings s;
    Latch latch;
    QStringList items{"stale item"};
    ScriptedMessenger messages;
};

const QByteArray kHeader = "[EVAL-CONTROL BOARD]\r\n";

// The fields the reader sets, in key order, as one comparable line.
QString KeyFields(const Settings& s)
{
    return QStringList{s.PartName, s.EXEName, QString::number(s.SampleFreq), QString::number(s.Max_Frequency),
                       QString::number(s.NumberOfSamples), QString::number(s.DataFormat),
                       QString::number(s.NumberOfBits), QString::number(s.InputVMax),
                       QString::number(s.InputVMin)}
        .join('|');
}

TEST_F(ConfigFileTest, HeaderIsFoundInAnyLetterCaseAndAnythingElseIsRejected)
{
    EXPECT_EQ(Read("[eval-control board]\r\nPROGRAMNAME:A.PRG\r\n"), 0);
    EXPECT_TRUE(messages.shown.empty());

    for (const QByteArray first : {"[EVAL CONTROL BOARD]\r\n", "PROGRAMNAME:A.PRG\r\n", "\r\n"}) {
        SetUp();
        EXPECT_EQ(Read(first + "PROGRAMNAME:A.PRG\r\n"), 2) << first.constData();
        EXPECT_EQ(messages.shown, (std::vector<MessageRequest>{{"This is not a valid CFG file", "File Selection Error",
                                                                MessageIcon::Exclamation, MessageButtons::Ok}}));
        EXPECT_TRUE(items.isEmpty());
        EXPECT_EQ(s.EXEName, "OLD.EXE");
        EXPECT_EQ(latch.Value(), 0x90);
    }
}

TEST_F(ConfigFileTest, ProgramNameAloneGivesEveryDefault)
{
    ASSERT_EQ(Read(kHeader + "PROGRAMNAME:ECB.EXE\r\n"), 0);
    EXPECT_EQ(items, QStringList{"PROGRAMNAME:ECB.EXE"});
    EXPECT_EQ(KeyFields(s), "Unknown|ECB.EXE|100000|250000|0|0|12|5|0");
    EXPECT_EQ(latch.Value(), 0x90);   // everything off, both voltage selects high
    EXPECT_TRUE(latch.HiSupply() == False && latch.DVDD() == False && latch.ENA_QS() == False);
}

TEST_F(ConfigFileTest, FullFileSetsEveryFieldAndComposesTheLatch)
{
    ASSERT_EQ(Read(kHeader + "PARTNAME:KV2680\r\nPROGRAMNAME:ECB.EXE\r\nSAMPLEFREQUENCY:500000\r\n"
                             "MAXSAMPLEFREQUENCY:1000000\r\nSAMPLES:1024\r\n+/-15V:ON\r\n"
                             "DVDD:5V ON\r\nAVDD:3.3V ON\r\nBUS:ON\r\nDATAFORMAT:BINARY\r\n"
                             "NUMBEROFBITS:14\r\nINPUTVMAX:2.5\r\nINPUTVMIN:-2.5"),
              0);
    EXPECT_EQ(items.size(), 13);
    EXPECT_EQ(items.last(), "INPUTVMIN:-2.5");
    // INPUTVMIN stands on the last line, without a line end.
    EXPECT_EQ(KeyFields(s), "KV2680|ECB.EXE|500000|1000000|2|0|14|2.5|-2.5");
    EXPECT_EQ(latch.Value(), 0x7C);
}

TEST_F(ConfigFileTest, KeyAndValueRules)
{
    using Check = std::function<void(const Settings&, const Latch&)>;
    struct Case { QByteArray lines; Check check; };
    const Case cases[] = {
        {"MAXSAMPLEFREQUENCY:1000000\r\nSAMPLEFREQUENCY:500000\r\n",
         [](auto& s, auto&) { EXPECT_EQ(s.SampleFreq, 1000000); EXPECT_EQ(s.Max_Frequency, 1000000); }},
        {"SAMPLEFREQUENCY=500000\r\n", [](auto& s, auto&) { EXPECT_EQ(s.SampleFreq, 0); }},
        {"SAMPLEFREQUENCY: 1 2 5 000 Hz\r\n", [](auto& s, auto&) { EXPECT_EQ(s.SampleFreq, 125000); }},
        {"SAMPLES:1000\r\n", [](auto& s, auto&) { EXPECT_EQ(s.NumberOfSamples, 2); }},
        {"SAMPLES:11000\r\n", [](auto& s, auto&) { EXPECT_EQ(s.NumberOfSamples, 5); }},
        {"NUMBEROFBITS:none\r\n", [](auto& s, auto&) { EXPECT_EQ(s.NumberOfBits, 0); }},
        {"SAMPLES:8192\r\n", [](auto& s, auto&) { EXPECT_EQ(s.NumberOfSamples, 5); }},
        {"note: 2048 SAMPLES\r\nSAMPLES:8192\r\n",
         [](auto& s, auto&) { EXPECT_EQ(s.NumberOfSamples, 3); }},
        {"DVDD:3.3V ON\r\n", [](auto&, auto& l) { EXPECT_EQ(l.DVDD(), False); EXPECT_EQ(l.DigiON_OFF(), True); }},
        {"DVDD:5V OFF\r\n", [](auto&, auto& l) { EXPECT_EQ(l.DVDD(), True); EXPECT_EQ(l.DigiON_OFF(), False); }},
        {"AVDD:3V\r\n", [](auto&, auto& l) { EXPECT_EQ(l.AVDD(), False); EXPECT_EQ(l.AVDD_On_Off(), False); }},
        {"avdd:5v on\r\n", [](auto&, auto& l) { EXPECT_EQ(l.AVDD(), True); EXPECT_EQ(l.AVDD_On_Off(), True); }},
        {"+/-15V:OFF\r\nBUS:on\r\n", [](auto&, auto& l) { EXPECT_EQ(l.HiSupply(), False); EXPECT_EQ(l.ENA_QS(), True); }},
        {"DATAFORMAT:Binary\r\n", [](auto& s, auto&) { EXPECT_EQ(s.DataFormat, 0); }},
        {"DATAFORMAT:TWOS\r\n", [](auto& s, auto&) { EXPECT_EQ(s.DataFormat, 1); }},
        {"DATAFORMAT:\r\n", [](auto& s, auto&) { EXPECT_EQ(s.DataFormat, 1); }},
        {"NUMBEROFBITS:12.5\r\n", [](auto& s, auto&) { EXPECT_EQ(s.NumberOfBits, 12); }},
        {"INPUTVMAX:abc\r\n", [](auto& s, auto&) { EXPECT_EQ(s.InputVMax, 0.0); }},
        {"PARTNAME: KV2680\r\n", [](auto& s, auto&) { EXPECT_EQ(s.PartName, " KV2680"); }},
        {"PARTNAME=KV2680\r\n", [](auto& s, auto&) { EXPECT_EQ(s.PartName, "PARTNAME=KV2680"); }},
        {"PARTNAME:KV2680, rev B\r\n", [](auto& s, auto&) { EXPECT_EQ(s.PartName, "KV2680"); }},
        {"PartName:Kv:2680\r\n", [](auto& s, auto&) { EXPECT_EQ(s.PartName, "Kv:2680"); }},
    };
    for (const auto& c : cases) {
        SetUp();
        ASSERT_EQ(Read(kHeader + "PROGRAMNAME:P.PRG\r\n" + c.lines), 0) << c.lines.constData();
        SCOPED_TRACE(c.lines.constData());
        c.check(s, latch);
    }
}

TEST_F(ConfigFileTest, RunTimeErrorsGiveTheUnexpectedErrorMessageAndKeepEarlierKeys)
{
    struct Case { QByteArray lines; int code; };
    const Case cases[] = {
        {"PARTNAME:NEW\r\nPROGRAMNAME:P.PRG\r\nSAMPLES:0\r\n", 5},
        {"PARTNAME:NEW\r\nPROGRAMNAME:P.PRG\r\nSAMPLEFREQUENCY:1E10\r\n", 6},
        {"PARTNAME:NEW\r\nPROGRAMNAME:P.PRG\r\nNUMBEROFBITS:40000\r\n", 6},
    };
    for (const auto& c : cases) {
        SetUp();
        EXPECT_EQ(Read(kHeader + c.lines), 2);
        const QString text = QString("An Unexpected Error (Code:%1 Occurred.\r\n"
                                     "Please check the synthax of the .INI file.").arg(c.code);
        EXPECT_EQ(messages.shown, (std::vector<MessageRequest>{{text, "Error", MessageIcon::Exclamation}}));
        EXPECT_EQ(s.PartName, "NEW");
    }

    messages.shown.clear();
    EXPECT_EQ(ReadConfigFile(dir.filePath("missing.cfg"), s, latch, items, messages), 2);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.startsWith("An Unexpected Error (Code:53 Occurred."));
}

TEST_F(ConfigFileTest, MissingProgramNameCancelledKeepsTheRestAndEmptiesThePartName)
{
    ASSERT_EQ(Read(kHeader + "PARTNAME:KV2680\r\nSAMPLEFREQUENCY:200000\r\n"), 0);
    EXPECT_EQ(messages.shown, (std::vector<MessageRequest>{
        {"This file does not contian an EXE filename to load.\r\nPlease select a valid INI file.",
         "File Selection Error", MessageIcon::Exclamation, MessageButtons::RetryCancel}}));
    EXPECT_TRUE(s.PartName.isEmpty());
    EXPECT_EQ(s.EXEName, "OLD.EXE");
    EXPECT_EQ(s.SampleFreq, 7);
}

TEST_F(ConfigFileTest, RetryReadsTheFileAgain)
{
    const QString path = Write(kHeader + "PARTNAME:KV2680\r\n");
    messages.answers = {MessageResult::Retry};
    messages.onShow = [&](const MessageRequest&) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kHeader + "PARTNAME:KV2680\r\nPROGRAMNAME:FIXED.PRG\r\n");
    };
    EXPECT_EQ(ReadConfigFile(path, s, latch, items, messages), 0);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(s.EXEName, "FIXED.PRG");
    EXPECT_EQ(s.PartName, "KV2680");
    EXPECT_EQ(items, (QStringList{"PARTNAME:KV2680", "PROGRAMNAME:FIXED.PRG"}));
}

TEST_F(ConfigFileTest, NameInOtherLetterCaseOpensTheExistingFile)
{
    Write(kHeader + "PROGRAMNAME:P.PRG\r\n", "KV2680.CFG");
    EXPECT_EQ(ReadConfigFile(dir.filePath("kv2680.cfg"), s, latch, items, messages), 0);
    EXPECT_EQ(s.EXEName, "P.PRG");
}

TEST_F(ConfigFileTest, BadFilesAndValuesAreRefusedWithTheirCauseAndKeepWhatWasSetBefore)
{
    BadInputs bad;
    const QString old = "old part|OLD.EXE|7|7|7|7|7|7|7";
    const QByteArray start = kHeader + "PARTNAME:NEW\r\nPROGRAMNAME:P.PRG\r\n";
    const QString unexpected = "An Unexpected Error (Code:%1 Occurred.\r\nPlease check the synthax of the .INI file.";
    struct Case { QString path; std::int16_t result; QString message; QString fields; };
    const Case cases[] = {
        {bad.File("empty.cfg", ""), 2, "This is not a valid CFG file", old},
        {bad.File("garbage.cfg", BadInputs::Garbage()), 2, "This is not a valid CFG file", old},
        {bad.File("cut.cfg", kHeader + "PARTNAME:NEW\r\nPROGRAMNA"), 0,
         "This file does not contian an EXE filename to load.\r\nPlease select a valid INI file.", "|OLD.EXE|7|7|7|7|7|7|7"},
        {bad.File("big.cfg", start + QByteArray(70000, ' ')), 2,
         unexpected.arg(75) + "\r\nbig.cfg: It is 70055 bytes long; files of this kind are at most 64 KiB.", old},
        {bad.File("bits.cfg", start + "SAMPLES:512\r\nNUMBEROFBITS:33\r\n"), 2,
         "bits.cfg, line 5: \"NUMBEROFBITS:33\" is out of range:\r\nthe number of bits must be from 1 to 16.",
         "NEW|P.PRG|100000|250000|1|0|7|7|7"},
        {bad.File("few.cfg", start + "SAMPLES:100\r\n"), 2,
         "few.cfg, line 4: \"SAMPLES:100\" is out of range:\r\n"
         "the number of samples must be 256, 512, 1024, 2048, 4096 or 8192.",
         "NEW|P.PRG|100000|250000|7|7|7|7|7"},
        {bad.File("minus.cfg", start + "SAMPLEFREQUENCY:-5\r\n"), 2,
         "minus.cfg, line 4: \"SAMPLEFREQUENCY:-5\" is out of range:\r\n"
         "a frequency must be from 611 to 40000000 Hz.", "NEW|P.PRG|7|7|7|7|7|7|7"},
        {bad.File("volts.cfg", start + "INPUTVMIN:-1e400\r\n"), 2,
         "volts.cfg, line 4: \"INPUTVMIN:-1e400\" is out of range:\r\na voltage must be from -1000 to 1000 V.",
         "NEW|P.PRG|100000|250000|0|0|12|5|7"},
        {bad.Folder("folder.cfg"), 2, unexpected.arg(75) + "\r\nfolder.cfg: It is a folder, not a file.", old},
        {bad.Pipe("pipe.cfg"), 2, unexpected.arg(75) + "\r\npipe.cfg: It is a named pipe, not a file.", old},
        {bad.dir.filePath("gone/x.cfg"), 2,
         unexpected.arg(76) + "\r\nx.cfg: The folder it should be in does not exist.", old},
    };
    for (const Case& c : cases) {
        SetUp();
        EXPECT_EQ(ReadConfigFile(c.path, s, latch, items, messages), c.result) << c.path.toStdString();
        ASSERT_EQ(messages.shown.size(), 1u) << c.path.toStdString();
        EXPECT_EQ(messages.shown[0].text, c.message);
        EXPECT_EQ(KeyFields(s), c.fields) << c.path.toStdString();
    }
}

TEST_F(ConfigFileTest, FileWithoutReadPermissionIsCode70)
{
    SKIP_WHEN_ROOT();
    BadInputs bad;
    EXPECT_EQ(ReadConfigFile(bad.Unreadable("locked.cfg", kHeader), s, latch, items, messages), 2);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.startsWith("An Unexpected Error (Code:70 Occurred."));
    EXPECT_EQ(s.EXEName, "OLD.EXE");
}

} // namespace
