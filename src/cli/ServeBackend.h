#pragma once

#include "cli/ConsoleSession.h"
#include "scpi/InstrumentBackend.h"

#include <memory>

// The instrument's board session on today's headless link (ConsoleSession and
// AcquisitionEngine). Board work runs from the event loop, one step at a time, so the
// server answers between blocks. Raises CommandFailure when the port cannot be used.
std::unique_ptr<InstrumentBackend> MakeConsoleBackend(const PortChoice& port, const QString& configDir);
