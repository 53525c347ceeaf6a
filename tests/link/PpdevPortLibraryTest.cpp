#include "core/EvalError.h"
#include "link/CommsFunctions.h"
#include "link/PpdevPortLibrary.h"
#include "support/FakePort.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>

namespace {

constexpr int kFd = 7;
constexpr unsigned int kPs2 = PARPORT_MODE_PCSPP | PARPORT_MODE_TRISTATE;

// A parallel port as ppdev shows it: three registers, scripted failures and a log of
// every system call in order.
struct FakeDevice {
    int openResult = kFd, claimResult = 0, modesResult = 0;
    unsigned int modes = kPs2;
    std::map<QString, QString> files {};
    unsigned char data = 0, status = 0, control = 0;
    QStringList log {};
    bool board = false;   // a board behind the port: the wait line answers the data strobe at once
    // The request that starts failing with `error` on its call number `from` (from 1).
    unsigned long failing = 0;
    int from = 0, error = 0, calls = 0;
};

class FakePpdevSystem : public PpdevSystem {
public:
    explicit FakePpdevSystem(FakeDevice& device) : d_(device) {}
    int Open(const QString& path) override { d_.log << "open " + path; return d_.openResult; }
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
        return d_.files.contains(path) ? std::optional(d_.files.at(path)) : std::nullopt;
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
    device.modes = PARPORT_MODE_PCSPP | PARPORT_MODE_EPP;
    EXPECT_EQ(Library().ClaimParallelPort(1, -1), -1);

    // A driver hint follows every refusal but the one for a port without a read-back mode.
    const QStringList opened{"open /dev/parport0"};
    const QStringList released{"open /dev/parport0", "PPCLAIM", "PPGETMODES", "PPRELEASE", "close 7"};
    struct Case { FakeDevice device; const char* osText; QStringList log; };
    const Case cases[] = {
        {{.openResult = -EACCES}, "Permission denied", opened},
        {{.openResult = -ENOENT}, "No such file or directory", opened},
        {{.claimResult = -EBUSY}, "Device or resource busy", {"open /dev/parport0", "PPCLAIM", "close 7"}},
        {{.openResult = -ENXIO}, "No such device or address", opened},   // no port behind the node
        {{.openResult = -ENODEV}, "No such device", opened},
        {{.modesResult = -ENOTTY}, "Inappropriate ioctl for device", released},
        {{.modes = PARPORT_MODE_PCSPP | PARPORT_MODE_COMPAT}, "neither a bidirectional (PS/2) nor an EPP mode", released},
    };
    for (const auto& c : cases) {
        library.reset();
        device = c.device;
        PpdevPortLibrary& lib = Library();
        EXPECT_EQ(lib.ClaimParallelPort(1, -1), 0) << c.osText;
        EXPECT_EQ(device.log, c.log) << c.osText;
        const bool hint = c.device.modes == kPs2;
        for (const char* part : {"/dev/parport0", c.osText, hint ? "\"lp\"" : "", hint ? "ppdev" : "", hint ? "parport_pc" : ""})
            EXPECT_TRUE(lib.LastError().contains(part)) << lib.LastError().toStdString() << " lacks " << part;
        EXPECT_EQ(lib.InByte(1), 0xFF) << "an unclaimed port reads as a floating bus";
    }
}

TEST_F(PpdevTest, AFailingDriverCallFailsTheTransferWithTheSystemsReason)
{
    struct Case { FakeDevice device; int raised; const char* line; };
    const Case cases[] = {
        // An I/O error on the 5th data read: the third value of the block fails.
        {{.failing = PPRDATA, .from = 5, .error = EIO}, 518, "/dev/parport0: PPRDATA failed: Input/output error"},
        {{.failing = PPRSTATUS, .from = 40, .error = EIO}, 518, "/dev/parport0: PPRSTATUS failed: Input/output error"},
        // The device vanishes (adapter unplugged) during the command frame.
        {{.failing = PPWCONTROL, .from = 6, .error = ENODEV}, 504, "/dev/parport0: PPWCONTROL failed: No such device"},
        {{.failing = PPWDATA, .from = 2, .error = ENODEV}, 504, "/dev/parport0: PPWDATA failed: No such device"},
    };
    for (const auto& c : cases) {
        device = c.device;
        device.board = true;
        PpdevPortLibrary& lib = ClaimedAt378();
        BoardLink link;
        RecordingStatus status;
        link.Port = &lib;
        link.PortBaseAddress = 888;
        link.Echo = &status;
        EXPECT_EQ(RunStep([&] {
            SendCommand(link, 0, 0, 7);
            for (int i = 0; i < 8; ++i)
                ReadValue(link);
        }), c.raised) << c.line;
        EXPECT_EQ(status.Texts(), QStringList{c.line});
        EXPECT_EQ(status.lines.at(0).colour, std::optional<std::uint32_t>(255));
        if (c.device.error == EIO) {
            EXPECT_EQ(device.control & 0x0B, 0) << c.line << ": strobes idle after the failure";
        }
        EXPECT_TRUE(lib.TakeDriverError().isEmpty()) << "reported once";
    }
}

TEST_F(PpdevTest, BaseAddressComesFromProcOrSysfs)
{
    const QString proc = "/proc/sys/dev/parport/parport1/base-addr";
    const QString sysfs = "/sys/class/parport/parport1/base_addr";
    struct Case { std::map<QString, QString> files; std::int16_t result; std::int32_t base; };
    const Case cases[] = {
        {{{proc, "888\t1912\n"}}, -1, 888}, {{{proc, "53264 53272\n"}}, -1, 0xD010},
        {{{sysfs, "0x278\n"}}, -1, 632}, {{{proc, "\n"}, {sysfs, "956\n"}}, -1, 956},
        {{}, 0, 12345}, {{{proc, "none"}}, 0, 12345},
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

TEST_F(PpdevTest, RegistersMapToPpdevRequestsAndThePortIsGivenBackOnce)
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
    lib.OutByte(890, 0x24);   // release the data lines, then the strobes
    lib.OutByte(890, 0x25);   // same direction: no new request
    EXPECT_EQ(lib.InByte(890), 0x25) << "a control read keeps reporting the input direction";
    lib.OutByte(890, 0x04);   // strobes first, then drive the data lines
    EXPECT_EQ(device.log, QStringList({"PPRDATA", "PPRSTATUS", "PPRCONTROL", "PPWDATA 55", "PPWCONTROL 0B",
                                       "PPDATADIR 0", "PPDATADIR 1", "PPWCONTROL 04", "PPWCONTROL 05",
                                       "PPRCONTROL", "PPWCONTROL 04", "PPDATADIR 0"}));

    // Addresses that are not the port's registers never reach the device.
    device.log.clear();
    for (std::int32_t address : {0, 887, 891, 632 + 2})
        EXPECT_EQ(lib.InByte(address), 0xFF) << address;
    lib.OutByte(891, 0x12);
    EXPECT_TRUE(device.log.isEmpty());

    // The port is given back once, and also when the library goes away.
    EXPECT_EQ(lib.ReleaseParallelPort(1), -1);
    EXPECT_EQ(lib.ReleaseParallelPort(1), 0);
    EXPECT_EQ(device.log, QStringList({"PPRELEASE", "close 7"}));
    EXPECT_EQ(lib.InByte(889), 0xFF);
    ClaimedAt378();
    library.reset();
    EXPECT_EQ(device.log, QStringList({"PPRELEASE", "close 7"}));
}

} // namespace
