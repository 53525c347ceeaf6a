#pragma once

#include <QString>
#include <cstdint>

// The parallel-port access library the board link talks through. Backends: simulated
// ports (with the simulated board cabled to port 1) and Linux ppdev for a real board.
struct PortInfo {
    std::int32_t Size = 12;        // set by the caller
    std::int32_t BaseAddress = 0;  // filled by the library
    std::int32_t Reserved = 0;     // neither set nor read by the program
};

class PortLibrary {
public:
    virtual ~PortLibrary() = default;

    virtual std::int32_t GetParallelPortCount() = 0;
    // Non-zero when the port was claimed.
    virtual std::int16_t ClaimParallelPort(std::int32_t port, std::int32_t flags) = 0;
    // Non-zero when the record was filled.
    virtual std::int16_t GetParallelPortInfo(std::int32_t port, PortInfo& info) = 0;
    // The byte at an I/O address in the low 8 bits.
    virtual std::int32_t InByte(std::int32_t address) = 0;
    virtual std::int32_t OutByte(std::int32_t address, std::int32_t value) = 0;
    virtual std::int16_t ReleaseParallelPort(std::int32_t port) = 0;

    // What the operating system's driver refused since the last call, with its reason;
    // empty when every register access went through. Taking it clears it.
    virtual QString TakeDriverError() { return {}; }
};
