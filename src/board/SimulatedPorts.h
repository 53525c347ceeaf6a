#pragma once

#include "board/EvalBoard.h"
#include "board/PortAccessTime.h"
#include "link/PortLibrary.h"

#include <cstdint>

// The port-access library without hardware: one printer port, port 1 at 0x378 (888),
// with the simulated evaluation control board cabled to it. Its three registers behave
// as a PC port's: the data register holds what the PC wrote and, with the direction bit
// set, reads the lines (the board's byte during a read cycle, else floating high); the
// control register reads back what was written; the status register reads the lines the
// board drives. With no board cabled (or the board switched off) the status lines never
// change. Other addresses read 0xFF and ignore writes.
//
// InByte and OutByte do no allocation, locking or I/O; they count the accesses and, when an
// access time is set, take that long each.
class SimulatedPorts : public PortLibrary {
public:
    static constexpr std::int32_t kPortNumber = 1;
    static constexpr std::int32_t kBaseAddress = 0x378;
    static constexpr std::uint8_t kPowerOnControl = 0x04;   // no strobe, initialise line inactive

    struct AccessCounts {
        std::uint64_t in = 0;
        std::uint64_t out = 0;
        std::uint64_t Total() const { return in + out; }
    };

    explicit SimulatedPorts(bool boardCabled = true) : cabled_(boardCabled) {}

    EvalBoard& Board() { return board_; }
    void SetBoardCabled(bool cabled);
    bool BoardCabled() const { return cabled_; }
    bool Claimed() const { return claimed_; }

    PortAccessTime& AccessTime() { return accessTime_; }
    AccessCounts Accesses() const { return counts_; }
    void ResetAccessCounts() { counts_ = {}; }

    std::int32_t GetParallelPortCount() override { return 1; }
    std::int16_t ClaimParallelPort(std::int32_t port, std::int32_t flags) override;
    std::int16_t GetParallelPortInfo(std::int32_t port, PortInfo& info) override;
    std::int32_t InByte(std::int32_t address) override;
    std::int32_t OutByte(std::int32_t address, std::int32_t value) override;
    std::int16_t ReleaseParallelPort(std::int32_t port) override;

private:
    EvalBoard board_;
    bool cabled_;
    bool claimed_ = false;
    std::uint8_t data_ = 0;
    std::uint8_t control_ = kPowerOnControl;
    AccessCounts counts_;
    PortAccessTime accessTime_;
};
