#pragma once

#include "board/Converter.h"

#include <QString>
#include <optional>

// The signal at the simulated converter's input as the user chooses it, so a two-tone test
// or a small tone can be watched without hardware: "/SIGNAL:key=value[,key=value...]" on
// the window's command line (no blanks inside the list), or the same list given to the
// command-line tool's --signal. Keys (not case-sensitive):
//   tone=HZ     the tone's frequency        level=DBFS   its level (0 dBFS: full scale)
//   tone2=HZ    a second tone               level2=DBFS  its level (default: level)
//   noise=LSB   white noise, rms            h2=DBFS, h3=DBFS  2nd and 3rd harmonic levels
// Keys not given keep the converter's defaults.

// Parses a list such as "tone=1000,level=-7,tone2=1100". An unknown key, a bad value or a
// level above 0 dBFS gives nullopt and a reason.
std::optional<InputSignal> ParseSignalSource(const QString& list, QString* error = nullptr,
                                             const InputSignal& start = InputSignal{});
// One line per key: "key=VALUE  what it sets".
QString SignalSourceHelp();
