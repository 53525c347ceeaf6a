#include "FakeBackend.h"

#include <gtest/gtest.h>

namespace {

struct Exchange {
    QByteArray send;
    QByteArray answer;   // "" when no response is expected
};

// Each dialogue starts on a fresh instrument; after it, the error queue must hold exactly
// the listed errors, oldest first.
TEST(ScpiInstrument, AnswersQueriesAndQueuesErrors)
{
    const struct {
        const char* name;
        std::vector<Exchange> dialogue;
        std::vector<QByteArray> errors;
    } cases[] = {
        {"identity in any case", {{"*idn?", "KV2680,SIM,0,2.0"}, {"*IdN?", "KV2680,SIM,0,2.0"}}, {}},
        {"long and short forms, optional node",
         {{"SENSe:SAMPle:COUNt 2048", ""}, {"samp:coun?", "2048"}, {":sense:sample:count?", "2048"}},
         {}},
        {"header path continues from the last compound node",
         {{"SAMP:COUN 512;RATE 50000", ""}, {"SAMP:COUN?;RATE?", "512;50000"}},
         {}},
        {"common commands keep the path",
         {{"SAMP:COUN 256;*CLS;RATE?", "100000"}}, {}},
        {"a leading colon goes back to the root",
         {{"SAMP:COUN?;:SYST:VERS?", "1024;1999.0"}}, {}},
        {"a relative unit that names nothing",
         {{"SAMP:COUN 512;SYST:VERS?", ""}, {"SAMP:COUN?", "1024"}},
         {"-113,\"Undefined header\""}},
        {"a syntax error anywhere changes nothing",
         {{"SAMP:COUN 512;SAMP:RATE 1e", ""}, {"SAMP:COUN?", "1024"}},
         {"-102,\"Syntax error\""}},
        {"execution stops at the first failing unit",
         {{"SAMP:COUN 512;COUN 300;RATE 50000", ""}, {"SAMP:COUN?;RATE?", "512;100000"}},
         {"-222,\"Data out of range; 256, 512, ... 8192\""}},
        {"parameter counts",
         {{"SAMP:COUN", ""}, {"*CLS 1", ""}, {"SAMP:COUN? 5", ""}},
         {"-109,\"Missing parameter\"", "-108,\"Parameter not allowed\"", "-108,\"Parameter not allowed\""}},
        {"numbers and their keywords",
         {{"SAMP:COUN MAX", ""}, {"SAMP:COUN?", "8192"}, {"SAMP:COUN min", ""}, {"SAMP:COUN?", "256"},
          {"SAMP:COUN DEF", ""}, {"SAMP:COUN?", "1024"}, {"SAMP:COUN 16384", ""}, {"SAMP:COUN 1e999", ""},
          {"SAMP:COUN \"512\"", ""}, {"SAMP:COUN ON", ""}, {"SAMP:COUN 1000", ""}},
         {"-222,\"Data out of range\"", "-222,\"Data out of range\"", "-224,\"Illegal parameter value\"",
          "-224,\"Illegal parameter value\"", "-222,\"Data out of range; 256, 512, ... 8192\""}},
        {"queries and commands are different forms",
         {{"SYST:VERS 5", ""}, {"*IDN", ""}, {"ABOR?", ""}},
         {"-113,\"Undefined header\"", "-113,\"Undefined header\"", "-113,\"Undefined header\""}},
        {"booleans",
         {{"SYST:POW OFF", ""}, {"SYST:POW?", "0"}, {"SYST:POW 1", ""}, {"SYST:POW?", "1"},
          {"SYST:POW 0", ""}, {"SYST:POW?", "0"}, {"SYST:POW on", ""}, {"SYST:POW?", "1"}, {"SYST:POW MAYBE", ""}},
         {"-224,\"Illegal parameter value\""}},
        {"analysis settings",
         {{"CALC:WIND hann;HARM 7;AVER:COUN 16", ""}, {"CALC:WIND?;HARM?;AVER:COUN?", "HANN;7;16"},
          {"CALC:WIND FLATTOP", ""}, {"CALC:WIND?", "FLAT"}, {"CALC:WIND FLAT", ""}, {"CALC:WIND TRI", ""},
          {"CALC:HARM 26", ""}, {"CALC:AVER:COUN 0", ""}, {"CALC:WIND?;HARM?;AVER:COUN?", "FLAT;7;16"}},
         {"-224,\"Illegal parameter value\"", "-222,\"Data out of range\"", "-222,\"Data out of range\""}},
        {"data formats",
         {{"FORM?", "ASC"}, {"FORM INT,16", ""}, {"FORM:DATA?", "INT,16"}, {"FORM REAL", ""}, {"FORM?", "REAL,64"},
          {"FORM:DATA REAL,32", ""}, {"FORM?", "REAL,32"}, {"FORM INT", ""}, {"FORM?", "INT,16"}, {"FORM INT,32", ""},
          {"FORM?", "INT,32"}, {"FORM INT,8", ""}, {"FORM ASC", ""}, {"FORM?;FORM:BORD?", "ASC;NORM"},
          {"FORM:BORD SWAP", ""}, {"FORM:BORD?", "SWAP"}},
         {"-224,\"Illegal parameter value; length 8\""}},
        {"no block yet",
         {{"FETC:WAV?", ""}, {"FETC:METR?", ""}},
         {"-230,\"Data corrupt or stale; no block taken yet\"", "-230,\"Data corrupt or stale; no block taken yet\""}},
        {"files outside the folders",
         {{"CONF:FILE \"../x.cfg\"", ""}, {"CONF:FILE \"/etc/passwd\"", ""}, {"CONF:FILE \"none.cfg\"", ""},
          {"CONF:FILE none", ""}},
         {"-257,\"File name error; ../x.cfg\"", "-257,\"File name error; /etc/passwd\"",
          "-256,\"File name not found; none.cfg\"", "-224,\"Illegal parameter value\""}},
        {"status: error events and their enable mask",
         {{"*ESE 60;*ESE?", "60"}, {"BOGUS", ""}, {"*STB?", "36"}, {"*ESR?", "160"}, {"*ESR?", "0"},
          {"*SRE 32;*SRE?", "32"}, {"SAMP:COUN 3", ""}, {"*STB?", "100"}, {"*CLS;*STB?", "0"}},
         {}},
        {"garbage", {{QByteArray("\x80\x81\x82", 3), ""}, {"SAMP:COUN?", "1024"}}, {"-102,\"Syntax error\""}},
        {"reset restores the start-up settings",
         {{"SAMP:COUN 4096;RATE 50000;:CALC:WIND RECT;:FORM INT,32", ""}, {"*RST", ""},
          {"SAMP:COUN?;RATE?;:CALC:WIND?;:FORM?", "1024;100000;BH4;ASC"}},
         {}},
        {"version", {{"SYST:VERS?", "1999.0"}}, {}},
    };
    for (const auto& c : cases) {
        FakeInstrument fake;
        for (const Exchange& e : c.dialogue)
            EXPECT_EQ(fake.Send(e.send), e.answer) << c.name << ": " << e.send.toStdString();
        if (QByteArray(c.name) == "status: error events and their enable mask")
            continue;   // *CLS emptied the queue on purpose
        EXPECT_EQ(fake.Send("SYST:ERR:COUN?"), QByteArray::number(qulonglong(c.errors.size()))) << c.name;
        for (const QByteArray& error : c.errors)
            EXPECT_EQ(fake.NextError(), error) << c.name;
        EXPECT_EQ(fake.NextError(), "0,\"No error\"") << c.name;
    }
}

TEST(ScpiInstrument, QueueKeepsTheOldestAndTellsOfTheOverflow)
{
    FakeInstrument fake;
    for (int i = 0; i < 25; ++i)
        fake.Send("BOGUS");
    EXPECT_EQ(fake.Send("SYST:ERR:COUN?"), "20");
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(fake.NextError(), "-113,\"Undefined header\"");
    EXPECT_EQ(fake.NextError(), "-350,\"Queue overflow\"");
    EXPECT_EQ(fake.NextError(), "0,\"No error\"");
}

TEST(ScpiInstrument, WaitsForBoardOperationsInOrder)
{
    FakeInstrument fake;
    fake.backend.finishAtOnce = false;
    fake.backend.block = std::make_shared<BlockResult>();
    fake.backend.block->codes = {1, 2, 3};

    fake.Send("*CLS");
    EXPECT_EQ(fake.Send("INIT;*OPC;*ESR?"), "0");   // *ESR? runs at once: OPC not yet set
    EXPECT_EQ(fake.Send("*OPC?"), "");              // waits for the block
    EXPECT_EQ(fake.Send("FETC:WAV?"), "");          // behind *OPC?
    EXPECT_EQ(fake.Send("SYST:ERR:COUN?"), "");     // messages wait in order
    EXPECT_TRUE(fake.instrument.Waiting());
    fake.backend.nextOutcome = {517, QStringLiteral("Read Data Error")};
    fake.backend.Finish();
    ASSERT_EQ(fake.responses.size(), 4);
    EXPECT_EQ(fake.responses[1], "1\n");
    EXPECT_EQ(fake.responses[2], "1,2,3\n");
    EXPECT_EQ(fake.responses[3], "1\n");
    EXPECT_EQ(fake.Send("*ESR?"), "9");   // operation complete and a device error
    EXPECT_EQ(fake.NextError(), "517,\"Read Data Error\"");

    // READ is INITiate then FETCh; *TST? runs the self-test and answers its result.
    fake.backend.finishAtOnce = true;
    fake.backend.block->codes = {7};
    EXPECT_EQ(fake.Send("READ:WAV?"), "7");
    fake.backend.nextOutcome = {1, QStringLiteral("fail")};
    EXPECT_EQ(fake.Send("*TST?;*TST?"), "1;0");
    EXPECT_EQ(fake.backend.calls.filter(QStringLiteral("selftest")).size(), 2);
    EXPECT_EQ(fake.NextError(), "0,\"No error\"");
}

TEST(ScpiInstrument, ContinuousRunGuardsBoardSettingsAndQueuesItsFailures)
{
    FakeInstrument fake;
    EXPECT_EQ(fake.Send("INIT:CONT ON;CONT?"), "1");
    EXPECT_EQ(fake.Send("SAMP:COUN 512;*OPC?"), "");
    fake.backend.FailRun({504, QStringLiteral("Send Command Error")});
    EXPECT_EQ(fake.Send("SAMP:COUN?;*OPC?"), "1024;1");
    EXPECT_EQ(fake.NextError(), "-221,\"Settings conflict; a continuous run is on\"");
    EXPECT_EQ(fake.NextError(), "504,\"Send Command Error\"");
    EXPECT_EQ(fake.Send("ABOR;INIT:CONT?"), "0");

    fake.Send("INIT:CONT 1;:FORM INT,32;*ESE 4");
    fake.Send("BOGUS");
    EXPECT_TRUE(fake.backend.running);
    fake.instrument.EndSession();   // the client went away
    EXPECT_FALSE(fake.backend.running);
    EXPECT_EQ(fake.Send("SYST:ERR?;:FORM?;*ESE?;*ESR?"), "0,\"No error\";ASC;0;0");
}

} // namespace
