#include "link/PpdevPortLibrary.h"

#include <QStringList>
#include <fcntl.h>
#include <fstream>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sstream>
#include <sys/ioctl.h>
#include <system_error>
#include <utility>
#include <cerrno>
#include <unistd.h>

namespace {

constexpr std::int16_t kTrue = -1;
constexpr std::int32_t kDirectionBit = 0x20;
constexpr std::int32_t kFloatingBus = 0xFF;
// Modes in which the data lines can be released for the board to drive them.
constexpr unsigned int kReadBackModes = PARPORT_MODE_TRISTATE | PARPORT_MODE_EPP;

class LinuxPpdevSystem : public PpdevSystem {
public:
    int Open(const QString& path) override
    {
        const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
        return fd >= 0 ? fd : -errno;
    }
    int Ioctl(int fd, unsigned long request, void* argument) override
    {
        return ::ioctl(fd, request, argument) == -1 ? -errno : 0;
    }
    void Close(int fd) override { ::close(fd); }
    std::optional<QString> ReadTextFile(const QString& path) override
    {
        std::ifstream file(path.toLocal8Bit().constData());
        if (!file)
            return std::nullopt;
        std::ostringstream text;
        text << file.rdbuf();
        return QString::fromStdString(text.str());
    }
};

} // namespace

std::unique_ptr<PpdevSystem> MakeLinuxPpdevSystem()
{
    return std::make_unique<LinuxPpdevSystem>();
}

std::unique_ptr<PpdevPortLibrary> MakePpdevPortLibrary(int parport)
{
    return std::make_unique<PpdevPortLibrary>(parport);
}

PpdevPortLibrary::PpdevPortLibrary(int parport, std::unique_ptr<PpdevSystem> system)
    : parport_(parport), devicePath_(QStringLiteral("/dev/parport%1").arg(parport)),
      system_(std::move(system))
{
}

PpdevPortLibrary::~PpdevPortLibrary()
{
    ReleaseParallelPort(1);
}

std::int16_t PpdevPortLibrary::Fail(const QString& what, int error)
{
    lastError_ = QStringLiteral("%1 %2 failed: %3.\nA board on a real parallel port needs the "
                                "ppdev and parport_pc kernel modules loaded, and the user in the "
                                "group that owns %2 (usually \"lp\").")
                     .arg(what, devicePath_,
                          QString::fromStdString(std::generic_category().message(error)));
    return 0;
}

std::int16_t PpdevPortLibrary::ClaimParallelPort(std::int32_t, std::int32_t)
{
    if (fd_ >= 0)
        return kTrue;
    const int fd = system_->Open(devicePath_);
    if (fd < 0)
        return Fail(QStringLiteral("Opening"), -fd);
    if (const int rc = system_->Ioctl(fd, PPCLAIM, nullptr); rc < 0) {
        system_->Close(fd);
        return Fail(QStringLiteral("Claiming"), -rc);
    }
    unsigned int modes = 0;
    if (const int rc = system_->Ioctl(fd, PPGETMODES, &modes); rc < 0 || !(modes & kReadBackModes)) {
        system_->Ioctl(fd, PPRELEASE, nullptr);
        system_->Close(fd);
        return rc < 0 ? Fail(QStringLiteral("Asking the modes of"), -rc) : RefuseWithoutReadBack(modes);
    }
    fd_ = fd;
    lastError_.clear();
    driverError_.clear();
    return kTrue;
}

std::int16_t PpdevPortLibrary::RefuseWithoutReadBack(unsigned int modes)
{
    lastError_ = QStringLiteral("%1 cannot read data back from the board: its driver reports neither a "
                                "bidirectional (PS/2) nor an EPP mode (modes 0x%2).\nSet the port to EPP "
                                "or bidirectional in the PC's firmware set-up.")
                     .arg(devicePath_, QString::number(modes, 16));
    return 0;
}

int PpdevPortLibrary::Call(unsigned long request, const char* name, void* argument)
{
    if (!driverError_.isEmpty())
        return -EIO;   // not tried again until the failure has been reported
    const int rc = system_->Ioctl(fd_, request, argument);
    if (rc < 0)
        driverError_ = QStringLiteral("%1: %2 failed: %3")
                           .arg(devicePath_, QLatin1String(name),
                                QString::fromStdString(std::generic_category().message(-rc)));
    return rc;
}

QString PpdevPortLibrary::TakeDriverError()
{
    return std::exchange(driverError_, QString());
}

std::int16_t PpdevPortLibrary::GetParallelPortInfo(std::int32_t, PortInfo& info)
{
    const QStringList files = {
        QStringLiteral("/proc/sys/dev/parport/parport%1/base-addr").arg(parport_),
        QStringLiteral("/sys/class/parport/parport%1/base_addr").arg(parport_),
    };
    for (const QString& file : files) {
        const std::optional<QString> text = system_->ReadTextFile(file);
        if (!text)
            continue;
        bool ok = false;
        const uint base = text->simplified().section(u' ', 0, 0).toUInt(&ok, 0);
        if (ok) {
            base_ = static_cast<std::uint16_t>(base);
            info.BaseAddress = static_cast<std::int32_t>(base);
            return kTrue;
        }
    }
    // Added to a claim failure rather than replacing it: the claim hint matters most.
    if (!lastError_.isEmpty())
        lastError_ += u'\n';
    lastError_ += QStringLiteral("The base address of %1 could not be read from %2.")
                      .arg(devicePath_, files.join(QStringLiteral(" or ")));
    return 0;
}

std::int32_t PpdevPortLibrary::InByte(std::int32_t address)
{
    if (fd_ < 0)
        return kFloatingBus;
    unsigned char value = 0;
    int rc = -1;
    switch (static_cast<std::uint16_t>(address - base_)) {
    case 0: rc = Call(PPRDATA, "PPRDATA", &value); break;
    case 1: rc = Call(PPRSTATUS, "PPRSTATUS", &value); break;
    case 2:
        rc = Call(PPRCONTROL, "PPRCONTROL", &value);
        // ppdev does not report the direction bit; report the one last set so that a
        // read-modify-write of the control register keeps the direction.
        if (dataInput_.value_or(false))
            value |= kDirectionBit;
        break;
    default: break;
    }
    return rc == 0 ? value : kFloatingBus;
}

std::int32_t PpdevPortLibrary::OutByte(std::int32_t address, std::int32_t value)
{
    if (fd_ < 0)
        return 0;
    unsigned char byte = static_cast<unsigned char>(value);
    switch (static_cast<std::uint16_t>(address - base_)) {
    case 0: Call(PPWDATA, "PPWDATA", &byte); break;
    case 2: {
        // The data lines are released before the strobes change and driven only after,
        // so the PC never drives the bus while the board may still be driving it.
        const bool input = (value & kDirectionBit) != 0;
        byte &= ~kDirectionBit;
        if (input)
            SetDataDirection(true);
        Call(PPWCONTROL, "PPWCONTROL", &byte);
        if (!input)
            SetDataDirection(false);
        break;
    }
    default: break;
    }
    return 0;
}

void PpdevPortLibrary::SetDataDirection(bool input)
{
    if (dataInput_ == input)
        return;
    int direction = input ? 1 : 0;
    if (Call(PPDATADIR, "PPDATADIR", &direction) == 0)
        dataInput_ = input;
}

std::int16_t PpdevPortLibrary::ReleaseParallelPort(std::int32_t)
{
    if (fd_ < 0)
        return 0;
    system_->Ioctl(fd_, PPRELEASE, nullptr);   // closing gives the port back whatever this answers
    system_->Close(fd_);
    fd_ = -1;
    dataInput_.reset();
    return kTrue;
}
