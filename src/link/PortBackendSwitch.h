#pragma once

#include <QString>
#include <optional>

// The command-line switch that puts the board on a real parallel port instead of the
// simulated one: "/PPDEV" for /dev/parport0, "/PPDEV:n" for /dev/parportn.
inline const QString kPpdevSwitch = QStringLiteral("/PPDEV");

// The parport number asked for in the upper-cased command line, or nullopt when the
// switch is absent. Anything after "/PPDEV" that is not ":" and a number gives port 0.
std::optional<int> RequestedPpdevPort(const QString& upperCommandLine);
