#pragma once

#include "link/PortLibrary.h"

#include <QString>
#include <memory>
#include <optional>

// The system calls the ppdev backend makes, behind an interface so tests can stand in
// for a port that does not exist.
class PpdevSystem {
public:
    virtual ~PpdevSystem() = default;
    // A file descriptor, or minus the errno value.
    virtual int Open(const QString& path) = 0;
    // 0, or minus the errno value.
    virtual int Ioctl(int fd, unsigned long request, void* argument) = 0;
    virtual void Close(int fd) = 0;
    // The contents of a small text file, nullopt when it cannot be read.
    virtual std::optional<QString> ReadTextFile(const QString& path) = 0;
};

std::unique_ptr<PpdevSystem> MakeLinuxPpdevSystem();

// A real board on a real parallel port through the Linux ppdev driver. The library
// serves one device, /dev/parportN, whatever port number it is asked for. Registers at
// base + 0, + 1 and + 2 are the data, status and control registers; bit 0x20 of a
// control write is the data direction, which ppdev sets with its own request. The claim
// refuses a port the driver cannot switch to input: the board's bytes could not be read.
class PpdevPortLibrary : public PortLibrary {
public:
    explicit PpdevPortLibrary(int parport, std::unique_ptr<PpdevSystem> system = MakeLinuxPpdevSystem());
    ~PpdevPortLibrary() override;
    PpdevPortLibrary(const PpdevPortLibrary&) = delete;
    PpdevPortLibrary& operator=(const PpdevPortLibrary&) = delete;

    QString DevicePath() const { return devicePath_; }
    // What went wrong with the port since the last claim, with a hint on how to fix it:
    // a failed claim and then a failed port-information call give one line each. Empty
    // when both succeeded.
    QString LastError() const { return lastError_; }

    std::int32_t GetParallelPortCount() override { return 1; }
    std::int16_t ClaimParallelPort(std::int32_t port, std::int32_t flags) override;
    std::int16_t GetParallelPortInfo(std::int32_t port, PortInfo& info) override;
    std::int32_t InByte(std::int32_t address) override;
    std::int32_t OutByte(std::int32_t address, std::int32_t value) override;
    std::int16_t ReleaseParallelPort(std::int32_t port) override;
    // A failed register access leaves the bus floating and every later access untried
    // until the error is taken, so the transfer under way fails at once.
    QString TakeDriverError() override;

private:
    std::int16_t Fail(const QString& what, int error);
    std::int16_t RefuseWithoutReadBack(unsigned int modes);
    int Call(unsigned long request, const char* name, void* argument);
    void SetDataDirection(bool input);

    int parport_;
    QString devicePath_;
    std::unique_ptr<PpdevSystem> system_;
    int fd_ = -1;
    std::uint16_t base_ = 0;           // 0 until the port information was read
    std::optional<bool> dataInput_;    // direction last set; unknown before the first control write
    QString lastError_;
    QString driverError_;
};

std::unique_ptr<PpdevPortLibrary> MakePpdevPortLibrary(int parport);
