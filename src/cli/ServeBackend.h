#pragma once

#include "engine/ConsoleSession.h"
#include "scpi/InstrumentBackend.h"

#include <memory>

// The instrument's board session (the tool's ConsoleSession on the engine's BoardSession).
// Board work runs from the event loop, one step at a time, so the server answers between
// blocks and while the board converts. Raises CommandFailure when the port or the
// simulated board's faults cannot be used.
std::unique_ptr<InstrumentBackend> MakeConsoleBackend(const PortRequest& port, const QString& configDir);
