#include "files/StartupOptions.h"

#include <gtest/gtest.h>

namespace {

// Every switch is found anywhere in the command line and in any letter case, and none of
// them is mistaken for another.
TEST(StartupOptions, EverySwitchFromOneCommandLine)
{
    struct Case {
        const char* line;
        const char* stored;   // G S D E
        std::optional<std::int32_t> timeOut;
        bool showStatus;
        std::optional<int> ppdev;
        std::optional<QString> faults;
        bool verify = false;
    };
    const Case cases[] = {
        {"", "----", {}, false, {}, {}},
        {"/get/save /del", "GSD-", {}, false, {}, {}},
        {"/e /t:40/ss", "---E", 40, true, {}, {}},
        {"/T:", "----", 1, false, {}, {}}, {"/T:x", "----", 1, false, {}, {}},
        {"/T:12 /T:34", "----", 12, false, {}, {}},
        {"/T:99999999999999999999999999", "----", 2147483647, false, {}, {}},
        {"/PPDEV", "----", {}, false, 0, {}}, {"/PPDEVICE", "----", {}, false, 0, {}},
        {"/GET/PPDEV:2/SS", "G---", {}, true, 2, {}}, {"/ppdev:12", "----", {}, false, 12, {}},
        {"/PPDEV:", "----", {}, false, 0, {}}, {"/PPDEV:X", "----", {}, false, 0, {}},
        {"/PPDEV:99999999999", "----", {}, false, 0, {}},
        {"/GET /simfault:off-after=3,gain=2 /SS", "G---", {}, true, {}, "off-after=3,gain=2"},
        {"/SIMFAULT:", "----", {}, false, {}, ""},
        {"/verify", "----", {}, false, {}, {}, true},
        {"/simfault:spurious-ack=9 /Verify/e", "---E", {}, false, {}, "spurious-ack=9", true},
        {"/VERIF /V", "----", {}, false, {}, {}, false},
    };
    for (const Case& c : cases) {
        const StartupOptions o = StartupOptions::Parse(QString::fromLatin1(c.line));
        const QString stored = QStringLiteral("%1%2%3%4").arg(o.Stored.Get ? 'G' : '-').arg(o.Stored.Save ? 'S' : '-')
                                   .arg(o.Stored.Delete ? 'D' : '-').arg(o.Stored.Echo ? 'E' : '-');
        EXPECT_EQ(stored, QLatin1String(c.stored)) << c.line;
        EXPECT_EQ(o.TimeOut, c.timeOut) << c.line;
        EXPECT_EQ(o.ShowStatus, c.showStatus) << c.line;
        EXPECT_EQ(o.PpdevPort, c.ppdev) << c.line;
        EXPECT_EQ(o.SimulatedFaults, c.faults) << c.line;
        EXPECT_EQ(o.VerifyUpload, c.verify) << c.line;
        EXPECT_EQ(o.CommandLine, QLatin1String(c.line));
    }
    EXPECT_EQ(StartupOptions::Parse("prog /E /signal:tone=5,level=-1 /GET").SignalSource, "tone=5,level=-1");
    EXPECT_FALSE(StartupOptions::Parse("/SIMFAULT:off-after=1").SignalSource.has_value());
}

} // namespace
