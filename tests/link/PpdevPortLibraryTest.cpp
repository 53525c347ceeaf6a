#include "core/EvalError.h"
#include "link/CommsFunctions.h"
#include "link/LinkStartUp.h"
#include "link/PortBackendSwitch.h"
#include "link/PpdevPortLibrary.h"
#include "support/FakePort.h"

#include <QStringList>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <map>

namespace {

constexpr int kFd = 7;

// A parallel port as ppdev shows it: three registers, scripted failures and a log of
// every system call in order.
struct FakeDevice {
    int openResult = kFd;
    int claimResult = 0;
    unsigned int modes = PARPORT_MODE_PCSPP | PARPORT_MODE_TRISTATE;
    int modesResult = 0;
    std::map<QString, QString> files;
    unsigned char data = 0, status = 0, control = 0;
    QStringList log;
    // A board behind the port: the wait line answers the data strobe at once.
    bool board = false;
    // The request that starts failing with `error` on its call number `from` (from 1).
    unsigned long failing = 0;
    int from = 0, error = 0, calls = 0;
};

class FakePpdevSystem : public PpdevSystem {
public:
    explicit FakePpdevSystem(FakeDevice& device) : d_(device) {}
    int Open(const QString& path) override
    {
        d_.log << "open " + path;
        return d_.openResult;
    }
    int Ioctl(int, unsigned long request, void* arg) override
    {
        auto* byte = static_cast<unsigned char*>(arg);
        if (request == d_.failing && ++d_.calls >= d_.from)
            return -d_.error;
        if (d_.board && request == PPWCONTROL)
            d_.status = (*byte & 0x02) ? 0x00 : 0x80;
        switch (request) {
        case PPGETMODES: d_.log << "PPGETMODES"; *static_cast<unsigned int*>(arg) = d_.modes; return d_.modesResult;
        case PPCLAIM: d_.log << "PPCLAIM"; return d_.claimResult;
        case PPRELEASE: d_.log << "PPRELEASE"; return 0;
        case PPRDATA: d_.log << "PPRDATA"; *byte = d_.data; return 0;
        case PPRSTATUS: d_.log << "PPRSTATUS"; *byte = d_.status; return 0;
        case PPRCONTROL: d_.log << "PPRCONTROL"; *byte = d_.control; return 0;
        case PPWDATA: d_.data = *byte; d_.log << QString::asprintf("PPWDATA %02X", *byte); return 0;
        case PPWCONTROL: d_.control = *byte; d_.log << QString::asprintf("PPWCONTROL %02X", *byte); return 0;
        case PPDATADIR: d_.log << QString::asprintf("PPDATADIR %d", *static_cast<int*>(arg)); return 0;
        default: d_.log << "unexpected ioctl"; return -EINVAL;
        }
    }
    void Close(int fd) override { d_.log << QString::asprintf("close %d", fd); }
    std::optional<QString> ReadTextFile(const QString& path) override
    {
        const auto it = d_.files.find(path);
        return it == d_.files.end() ? std::nullopt : std::optional<QString>(it->second);
    }

private:
    FakeDevice& d_;
};

class PpdevTest : public ::testing::Test {
protected:
    PpdevPortLibrary& Library(int parport = 0)
    {
        library = std::make_unique<PpdevPortLibrary>(parport, std::make_unique<FakePpdevSystem>(device));
        return *library;
    }
    // A claimed port whose base address was read as 0x378; the log starts empty.
    PpdevPortLibrary& ClaimedAt378()
    {
        device.files["/proc/sys/dev/parport/parport0/base-addr"] = "888\t1912\n";
        PpdevPortLibrary& lib = Library();
        PortInfo info;
        EXPECT_NE(lib.ClaimParallelPort(1, -1), 0);
        EXPECT_NE(lib.GetParallelPortInfo(1, info), 0);
        device.log.clear();
        return lib;
    }

    FakeDevice device;
    std::unique_ptr<PpdevPortLibrary> library;
};

TEST_F(PpdevTest, ClaimOpensTheChosenDeviceAndARefusalExplainsWhatToDo)
{
    EXPECT_EQ(Library(2).ClaimParallelPort(1, -1), -1);
    EXPECT_EQ(device.log, QStringList({"open /dev/parport2", "PPCLAIM", "PPGETMODES"}));
    EXPECT_TRUE(library->LastError().isEmpty());

    struct Case { int openResult, claimResult; const char* osText; QStringList log; };
    const Case cases[] = {
        {-EACCES, 0, "Permission denied", {"open /dev/parport0"}},
        {-ENOENT, 0, "No such file or directory", {"open /dev/parport0"}},
        {kFd, -EBUSY, "Device or resource busy", {"open /dev/parport0", "PPCLAIM", "close 7"}},
        {-ENXIO, 0, "No such device or address", {"open /dev/parport0"}},   // no port behind the node
        {-ENODEV, 0, "No such device", {"open /dev/parport0"}},
    };
    for (const auto& c : cases) {
        library.reset();
        device = FakeDevice();
        device.openResult = c.openResult;
        device.claimResult = c.claimResult;
        PpdevPortLibrary& lib = Library();
        EXPECT_EQ(lib.ClaimParallelPort(1, -1), 0) << c.osText;
        EXPECT_EQ(device.log, c.log) << c.osText;
        for (const char* part : {"/dev/parport0", c.osText, "\"lp\"", "ppdev", "parport_pc"})
            EXPECT_TRUE(lib.LastError().contains(part)) << lib.LastError().toStdString() << " lacks " << part;

        // An unclaimed port reads as a floating bus and touches nothing.
        device.log.clear();
        EXPECT_EQ(lib.InByte(1), 0xFF);
        lib.OutByte(0, 0x55);
        EXPECT_EQ(lib.ReleaseParallelPort(1), 0);
        EXPECT_TRUE(device.log.isEmpty());
    }
}

TEST_F(PpdevTest, ClaimRefusesAPortThatCannotReadDataBack)
{
    struct Case { unsigned int modes; int result; const char* says; };
    const Case cases[] = {
        {PARPORT_MODE_PCSPP | PARPORT_MODE_TRISTATE, 0, nullptr},
        {PARPORT_MODE_PCSPP | PARPORT_MODE_EPP, 0, nullptr},
        {PARPORT_MODE_PCSPP | PARPORT_MODE_COMPAT, 0, "neither a bidirectional (PS/2) nor an EPP mode"},
        {PARPORT_MODE_PCSPP | PARPORT_MODE_TRISTATE, -ENOTTY, "Inappropriate ioctl for device"},
    };
    for (const auto& c : cases) {
        library.reset();
        device = FakeDevice();
        device.modes = c.modes;
        device.modesResult = c.result;
        PpdevPortLibrary& lib = Library();
        EXPECT_EQ(lib.ClaimParallelPort(1, -1), c.says ? 0 : -1) << c.modes;
        if (!c.says)
            continue;
        EXPECT_EQ(device.log, QStringList({"open /dev/parport0", "PPCLAIM", "PPGETMODES", "PPRELEASE", "close 7"}));
        EXPECT_TRUE(lib.LastError().contains("/dev/parport0")) << lib.LastError().toStdString();
        EXPECT_TRUE(lib.LastError().contains(c.says)) << lib.LastError().toStdString();
    }
}

TEST_F(PpdevTest, AFailingDriverCallFailsTheTransferWithTheSystemsReason)
{
    struct Case { unsigned long request; int from, error; int raised; const char* line; };
    const Case cases[] = {
        // An I/O error on the 5th data read: the third value of the block fails.
        {PPRDATA, 5, EIO, 518, "/dev/parport0: PPRDATA failed: Input/output error"},
        {PPRSTATUS, 40, EIO, 518, "/dev/parport0: PPRSTATUS failed: Input/output error"},
        // The device vanishes (adapter unplugged) during the command frame.
        {PPWCONTROL, 6, ENODEV, 504, "/dev/parport0: PPWCONTROL failed: No such device"},
        {PPWDATA, 2, ENODEV, 504, "/dev/parport0: PPWDATA failed: No such device"},
    };
    for (const auto& c : cases) {
        device = FakeDevice();
        PpdevPortLibrary& lib = ClaimedAt378();
        device.board = true;
        device.failing = c.request;
        device.from = c.from;
        device.error = c.error;
        LinkTestRig rig(OsVersionInfo{});
        RecordingStatus status;
        rig.ctx.Port = &lib;
        rig.ctx.PortBaseAddress = 888;
        rig.ctx.Status1 = &status;
        int raised = 0;
        try {
            SendCommand(rig.ctx, 0, 0, 7);
            for (int i = 0; i < 8; ++i)
                ReadValue(rig.ctx);
        } catch (const EvalError& e) {
            raised = e.Number;
        }
        EXPECT_EQ(raised, c.raised) << c.line;
        EXPECT_EQ(status.Texts(), QStringList{c.line});
        EXPECT_EQ(status.lines.at(0).colour, std::optional<std::uint32_t>(255));
        if (c.error == EIO) {
            EXPECT_EQ(device.control & 0x0B, 0) << c.line << ": strobes idle after the failure";
        }
        EXPECT_TRUE(lib.TakeDriverError().isEmpty()) << "reported once";
    }
}

TEST_F(PpdevTest, RefusedClaimTakesTheStartUpsClaimFailedPath)
{
    device.openResult = -EACCES;
    PpdevPortLibrary& lib = Library();
    LinkTestRig rig(OsVersionInfo{148, 0, 0, 0, 0, "Linux 6.1.0"});
    rig.ctx.Port = &lib;
    LinkStartUp(rig.ctx);
    ASSERT_EQ(rig.messages.shown.size(), 2u);
    EXPECT_EQ(rig.messages.shown[0].text, "claim parallel port failed");
    EXPECT_EQ(rig.messages.shown[1].title, "GetPortAddress Error");
    // The claim hint stays first; the missing base address is added after it.
    const QStringList lines = lib.LastError().split(u'\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].contains("Permission denied"));
    EXPECT_TRUE(lines[2].contains("base address"));
}

TEST_F(PpdevTest, BaseAddressComesFromProcOrSysfs)
{
    const QString proc = "/proc/sys/dev/parport/parport1/base-addr";
    const QString sysfs = "/sys/class/parport/parport1/base_addr";
    struct Case { std::map<QString, QString> files; std::int16_t result; std::int32_t base; };
    const Case cases[] = {
        {{{proc, "888\t1912\n"}}, -1, 888},
        {{{proc, "53264 53272\n"}}, -1, 0xD010},
        {{{sysfs, "0x278\n"}}, -1, 632},
        {{{proc, "\n"}, {sysfs, "956\n"}}, -1, 956},
        {{}, 0, 12345},
        {{{proc, "none"}}, 0, 12345},
    };
    for (const auto& c : cases) {
        device.files = c.files;
        PpdevPortLibrary& lib = Library(1);
        PortInfo info;
        info.BaseAddress = 12345;
        EXPECT_EQ(lib.GetParallelPortInfo(1, info), c.result) << c.base;
        EXPECT_EQ(info.BaseAddress, c.base);
        EXPECT_EQ(lib.LastError().isEmpty(), c.result != 0) << lib.LastError().toStdString();
    }
}

TEST_F(PpdevTest, RegistersMapToPpdevRequests)
{
    PpdevPortLibrary& lib = ClaimedAt378();
    device.data = 0xA5;
    device.status = 0x7F;
    device.control = 0x04;
    EXPECT_EQ(lib.InByte(888), 0xA5);
    EXPECT_EQ(lib.InByte(889), 0x7F);
    EXPECT_EQ(lib.InByte(890), 0x04);
    lib.OutByte(888, 0x55);
    lib.OutByte(890, 0x0B);
    EXPECT_EQ(device.log, QStringList({"PPRDATA", "PPRSTATUS", "PPRCONTROL", "PPWDATA 55",
                                       "PPWCONTROL 0B", "PPDATADIR 0"}));

    // Addresses that are not the port's registers never reach the device.
    device.log.clear();
    for (std::int32_t address : {0, 887, 891, 632 + 2})
        EXPECT_EQ(lib.InByte(address), 0xFF) << address;
    lib.OutByte(889, 0x12);
    lib.OutByte(891, 0x12);
    EXPECT_TRUE(device.log.isEmpty());
}

TEST_F(PpdevTest, DirectionBitGoesThroughDataDirOnlyWhenItChanges)
{
    PpdevPortLibrary& lib = ClaimedAt378();
    lib.OutByte(890, 0x24);   // release the data lines, then the strobes
    lib.OutByte(890, 0x25);   // same direction: no new request
    EXPECT_EQ(lib.InByte(890), 0x25) << "a control read keeps reporting the input direction";
    lib.OutByte(890, 0x04);   // strobes first, then drive the data lines
    EXPECT_EQ(lib.InByte(890), 0x04);
    EXPECT_EQ(device.log, QStringList({"PPDATADIR 1", "PPWCONTROL 04", "PPWCONTROL 05",
                                       "PPRCONTROL", "PPWCONTROL 04", "PPDATADIR 0",
                                       "PPRCONTROL"}));
}

TEST_F(PpdevTest, WithoutBaseAddressRegistersSitAtZero)
{
    PpdevPortLibrary& lib = Library();
    ASSERT_NE(lib.ClaimParallelPort(1, -1), 0);
    device.status = 0x80;
    EXPECT_EQ(lib.InByte(1), 0x80);
    EXPECT_EQ(lib.InByte(889), 0xFF);
}

TEST_F(PpdevTest, ReleaseGivesThePortBackOnce)
{
    PpdevPortLibrary& lib = ClaimedAt378();
    EXPECT_EQ(lib.ReleaseParallelPort(1), -1);
    EXPECT_EQ(lib.ReleaseParallelPort(1), 0);
    EXPECT_EQ(device.log, QStringList({"PPRELEASE", "close 7"}));
    EXPECT_EQ(lib.InByte(889), 0xFF);

    // A claimed port is also given back when the library goes away.
    ClaimedAt378();
    library.reset();
    EXPECT_EQ(device.log, QStringList({"PPRELEASE", "close 7"}));
}

TEST(PortBackendSwitch, PicksTheParportNumberAndDoesNotCollideWithTheOtherSwitches)
{
    struct Case { const char* line; std::optional<int> port; };
    const Case cases[] = {
        {"", std::nullopt}, {"/GET /SS", std::nullopt}, {"/PPDEV", 0}, {"/GET/PPDEV:2/SS", 2},
        {"/PPDEV:12", 12}, {"/PPDEV:", 0}, {"/PPDEV:X", 0}, {"/PPDEVICE", 0},
        {"/PPDEV:99999999999", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RequestedPpdevPort(QString::fromLatin1(c.line)), c.port) << c.line;

    for (const QString other : {"/GET", "/E", "/SAVE", "/DEL", "/T:", "/SS"}) {
        EXPECT_FALSE(kPpdevSwitch.contains(other) || QString("/PPDEV:1").contains(other)) << other.toStdString();
        EXPECT_FALSE(other.contains(kPpdevSwitch)) << other.toStdString();
    }
}

} // namespace
