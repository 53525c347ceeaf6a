#pragma once

#include "engine/ConsoleSession.h"
#include "scpi/InstrumentBackend.h"

#include <memory>

// The instrument's board session (the tool's ConsoleSession on the engine's BoardSession).
// A continuous run uploads on the engine's acquisition thread and is analysed between the
// server's events; other board work runs from the event loop, one step at a time, once the
// acquisition thread is idle. The server answers meanwhile. Raises CommandFailure when the port or the
// simulated board's faults cannot be used.
std::unique_ptr<InstrumentBackend> MakeConsoleBackend(const PortRequest& port, const QString& configDir);
