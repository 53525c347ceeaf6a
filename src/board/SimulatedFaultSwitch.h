#pragma once

#include "board/BoardFaults.h"
#include "board/Converter.h"

#include <QString>
#include <chrono>
#include <optional>

class SimulatedPorts;

// Faults chosen for the simulated board when the program starts, so a user can watch how
// the program copes: "/SIMFAULT:name[=value][,name[=value]...]" on the command line (no
// blanks inside the list), or the same list given to the command-line tool's --fault.
struct SimulatedFaults {
    BoardFaults board;
    ConverterFaults converter;
    // What each register access of the port costs (zero: nothing).
    std::chrono::nanoseconds accessTime{0};
};

// Parses a list such as "lost-strobe=12,gain=1.02". Names are not case-sensitive; an
// unknown name, a missing or bad value or two line faults give nullopt and a reason.
std::optional<SimulatedFaults> ParseSimulatedFaults(const QString& list, QString* error = nullptr);
// One line per fault name: "name=value  what it does".
QString SimulatedFaultHelp();
void ApplySimulatedFaults(SimulatedPorts& ports, const SimulatedFaults& faults);
