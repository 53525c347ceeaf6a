#include "engine/SessionStartUp.h"
#include "link/CommsFunctions.h"
#include "support/FakePort.h"

#include <gtest/gtest.h>

namespace {

const OsVersionInfo kWindows98 {148, 4, 10, 0, 1, {}};
const OsVersionInfo kWindows2000 {148, 5, 0, 0, 2, {}};

class SessionStartUpTest : public ::testing::Test, protected LinkTestRig {
protected:
    SessionStartUpTest() : LinkTestRig(kWindows2000) {}
};

TEST_F(SessionStartUpTest, VersionTableNamesTheSystem)
{
    struct Case { std::int32_t platform, major, minor; const char* name; const char* expected; };
    const Case cases[] = {
        {1, 4, 0, "", "Windows 95"}, {1, 4, 10, "", "Windows 98"}, {1, 4, 90, "", ""}, {2, 3, 51, "", "Windows NT 3.51"},
        {2, 4, 0, "", "Windows NT 4.0"}, {2, 5, 1, "", "Windows 2000"}, {2, 6, 0, "", ""}, {0, 0, 0, "", "Failed"},
        {3, 4, 0, "", "Failed"}, {0, 0, 0, "Linux 6.1.0-18-amd64", "None (Linux 6.1.0-18-amd64)"},
        {0, 0, 0, "Linux 5.10.98", "None (Linux)"}, {0, 0, 0, "Linux 4.19.0-95-amd64", "None (Linux)"},
    };
    for (const auto& c : cases) {
        LinkTestRig rig({148, c.major, c.minor, 0, c.platform, QString::fromLatin1(c.name)});
        EXPECT_EQ(GetWindowsVersion(rig.ctx), QString::fromLatin1(c.expected)) << c.platform << " " << c.minor << " " << c.name;
        SelectPort(rig.ctx);   // only the 95 family takes LPT1 without claiming a port
        EXPECT_EQ(rig.port.calls.contains("ClaimParallelPort(1,-1)"), !QString(c.expected).startsWith("Windows 9")) << c.expected;
    }
}

TEST_F(SessionStartUpTest, The95FamilyTakesLpt1AndOtherSystemsClaimPortOne)
{
    LinkTestRig old(kWindows98);
    old.port.baseAddress = 632;
    LinkStartUp(old.ctx);
    EXPECT_EQ(old.ctx.Link.PortBaseAddress, 888);
    EXPECT_EQ(old.port.calls, QStringList({"InByte(890)", "OutByte(890,32)", "InByte(890)", "OutByte(890,32)"}));
    EXPECT_TRUE(old.listener.events.empty()) << "no port was claimed";

    port.baseAddress = 632;
    port.registers[632 + 2] = 0xFF;
    LinkStartUp(ctx);
    EXPECT_EQ(ctx.Link.PortBaseAddress, 632);
    // The control register gets its idle set-up twice: in SelectPort and once more after it.
    EXPECT_EQ(port.calls, QStringList({"GetParallelPortCount", "ClaimParallelPort(1,-1)",
                                       "GetParallelPortInfo(1,size 12)", "InByte(634)",
                                       "OutByte(634,244)", "InByte(634)", "OutByte(634,244)"}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SessionStartUpTest, RefusedClaimAndMissingPortInfoAreReportedAndStartUpGoesOn)
{
    const MessageRequest claimFailed {"claim parallel port failed", std::nullopt, MessageIcon::None, MessageButtons::Ok};
    port.claimResult = 0;
    LinkStartUp(ctx);
    EXPECT_EQ(messages.shown, std::vector<MessageRequest>{claimFailed});
    EXPECT_TRUE(port.calls.contains("GetParallelPortInfo(1,size 12)")) << "the address is still asked";
    EXPECT_EQ(ctx.Link.PortBaseAddress, 888);

    LinkTestRig noInfo(kWindows2000);
    noInfo.port.claimResult = 0;
    noInfo.port.infoResult = 0;
    LinkStartUp(noInfo.ctx);
    EXPECT_EQ(noInfo.messages.shown, (std::vector<MessageRequest>{
        claimFailed, {"This PC does not appear to have a Printer Port", "GetPortAddress Error",
                      MessageIcon::Exclamation, MessageButtons::Ok}}));
    EXPECT_EQ(noInfo.ctx.Link.PortBaseAddress, 0);
    EXPECT_TRUE(noInfo.listener.events.empty());
    EXPECT_EQ(noInfo.port.calls.filter("OutByte"), QStringList({"OutByte(2,32)", "OutByte(2,32)"}));
    EXPECT_EQ(noInfo.ctx.CurrentSettings.SampleFreq, 100000) << "start-up goes on";
}

TEST_F(SessionStartUpTest, TheClaimedPortIsReportedWithItsAddress)
{
    for (const std::int32_t address : {888, 632, 0x3E8, 0xD010}) {   // a card above 0x7FFF keeps its bits
        port.baseAddress = address;
        listener.events.clear();
        GetPortAddress(ctx);
        EXPECT_EQ(ctx.Link.PortBaseAddress, std::int16_t(address)) << address;
        EXPECT_EQ(listener.events, QStringList{QStringLiteral("port %1").arg(std::int16_t(address))});
    }
}

TEST_F(SessionStartUpTest, IdleControlClearsStrobesAndSetsDirection)
{
    struct Case { std::int32_t before, after; };
    const Case cases[] = {{0x00, 0x20}, {0xFF, 0xF4}, {0x0B, 0x20}, {0x2F, 0x24},
                          {0xD4, 0xF4}, {0x1C0, 0xE0}};   // only the low byte of InByte counts
    ctx.Link.PortBaseAddress = 888;
    for (const auto& c : cases) {
        port.registers[890] = c.before;
        SetIdleControlRegister(ctx.Link);
        EXPECT_EQ(port.registers[890], c.after) << c.before;
    }
}

TEST(SessionStartUp, TimeOutAndShowStatusSwitches)
{
    struct Case { const char* commandLine; std::int32_t timeOut; bool statusShown; };
    const Case cases[] = {
        {"", 1000, false}, {"/GET /T:2500", 2500, false}, {"/T:", 1, false}, {"/T:x", 1, false},
        {"/T: 5", 1, false}, {"/t:40/ss", 40, true}, {"/T:007", 7, false}, {"/T:12 /T:34", 12, false},
        {"/T:2147483647", 2147483647, false},
        {"/T:99999999999999999999999999", 2147483647, false},   // longest time-out there is
    };
    for (const auto& c : cases) {
        LinkTestRig rig(kWindows98, QString::fromLatin1(c.commandLine));
        LinkStartUp(rig.ctx);
        EXPECT_EQ(rig.ctx.CurrentSettings.TimeOut, c.timeOut) << c.commandLine;
        const MessageRequest status {"Windows Version:Windows 98\rPort Address:0x378", "Show Status",
                                     MessageIcon::Information};
        EXPECT_EQ(rig.messages.shown, std::vector<MessageRequest>(c.statusShown ? 1 : 0, status)) << c.commandLine;
    }
}

TEST_F(SessionStartUpTest, StartValuesOfSettingsClockAndLatch)
{
    ctx.SelectedConfigIndex = 3;
    ctx.CurrentSettings.PartName = "KV2680";
    LinkStartUp(ctx);
    const Settings& s = ctx.CurrentSettings;
    EXPECT_EQ(QStringList({QString::number(s.SampleFreq), QString::number(s.NumberOfSamples),
                           QString::number(s.Max_Frequency), QString::number(s.NumberOfBits),
                           QString::number(s.InputVMin), QString::number(s.InputVMax), QString::number(s.TimeOut),
                           QString::number(s.DisplayMode), QString::number(s.DataLoaded), s.PartName}).join('|'),
              "100000|0|500000|12|0|5|1000|0|0|KV2680");
    // The crystal is set before the frequency, so the period is 400 - 1 = 0x18F.
    EXPECT_EQ(ctx.SampleClock.CrystalFrequency(), 40000000);
    EXPECT_EQ(ctx.SampleClock.TPeriodHigh() * 256 + ctx.SampleClock.TPeriodLow(), 0x18F);
    EXPECT_EQ(ctx.BoardLatch.Value(), 144);
    EXPECT_EQ(ctx.SelectedConfigIndex, -1);
}

} // namespace
