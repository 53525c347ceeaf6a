#pragma once

#include "core/UserInterface.h"
#include "link/PortLibrary.h"
#include "link/Watchdog.h"

#include <chrono>
#include <cstdint>

// How the link lets time pass while the board works: one short pass of a polling loop,
// and a pause for a time the board is known to need (a block's conversion).
class LinkWaiter {
public:
    virtual ~LinkWaiter() = default;
    virtual void Yield() = 0;
    virtual void Pause(std::chrono::nanoseconds expected) = 0;
};

// Everything the board link works with: the port and its base address, the watchdog, a
// way to wait, and where the "Sent:" echo and the port driver's refusals go. The link
// gets all else (block exponent, period word, latch, file names) as explicit arguments.
struct BoardLink {
    PortLibrary* Port = nullptr;
    std::int16_t PortBaseAddress = 0;
    Watchdog Timer1;
    LinkWaiter* Wait = nullptr;     // none: polling loops spin, pauses are skipped
    StatusLines* Echo = nullptr;    // none: nothing is echoed
    bool EchoComms = false;         // a "Sent:" line per command frame

    void Yield() { if (Wait) Wait->Yield(); }
    void Pause(std::chrono::nanoseconds expected) { if (Wait) Wait->Pause(expected); }
    void Report(const QString& line, std::uint32_t colour) { if (Echo) Echo->AddLine(line, colour); }
};
