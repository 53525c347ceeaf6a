#pragma once

#include "link/EvalContext.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

// The steps that bring the board link up and the board into the running state, in their
// documented order, for the window and the command-line tool alike.

// Link start-up, then the port's control lines set to idle once more.
void StartLink(EvalContext& ctx);

struct LoadOutcome {
    bool configRead = false;          // false: "Error Loading CFG", nothing after it ran
    std::int16_t programResult = -1;  // the download's result when it ran (0 running)
};

// Reset, configuration file, sample frequency, a short pause, program download, and on
// success the configuration summary, "Program Running" and ProgramLoaded. Each step runs
// even when one before it raised; a configuration that cannot be read stops the load.
// applyFrequency puts the configured frequency in force (the setup dialog adds it to its
// list, which sets the clock); without one the clock takes CurrentSettings.SampleFreq.
LoadOutcome LoadConfiguration(EvalContext& ctx, const QString& configPath,
                              const std::function<void()>& applyFrequency = {});

// The clock set from CurrentSettings.SampleFreq, lowered to Max_Frequency first.
void ApplyConfiguredFrequency(EvalContext& ctx);

// What the user is told about a failed download, by LoadProgram's result; nothing for 0
// and for results the download never gives.
std::optional<QString> ProgramLoadErrorText(std::int16_t result);
