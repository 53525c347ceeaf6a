#pragma once

#include "link/PortLibrary.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class PpdevPortLibrary;
class SimulatedPorts;

// Which port the board is on and, for the simulated board, how it behaves.
struct PortRequest {
    std::optional<int> parport;          // nullopt: the simulated board
    bool realTime = true;                // simulated board: a block takes N / fs
    std::optional<std::uint64_t> seed;   // simulated converter's noise seed
    std::optional<QString> faults;       // simulated board faults, as /SIMFAULT: lists them
    std::optional<QString> signal;       // simulated converter's input, as /SIGNAL: lists it
};

// The opened port. A port that cannot be used still opens (its accesses fail, so board
// commands time out); Problem() says why, for the front end to show.
struct OpenedPort {
    std::unique_ptr<PortLibrary> port;
    SimulatedPorts* simulated = nullptr;   // the simulated board's ports, when chosen
    PpdevPortLibrary* ppdev = nullptr;     // the real port, when chosen
    // Why the real port cannot be used (it is claimed at the link's start-up), or empty.
    QString Problem() const;
    QString faultError;                    // why the fault list was refused
    QString faultHelp;                     // then: the faults there are, one a line
    QString signalError;                   // why the signal settings were refused
    QString signalHelp;                    // then: the settings there are, one a line
    // The board converts at once: nothing to wait for while it converts.
    bool instant = false;
};

OpenedPort OpenPort(const PortRequest& request);
