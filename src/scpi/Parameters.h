#pragma once

#include "scpi/ProgramMessage.h"

#include <QString>
#include <QStringList>
#include <optional>

// Conversions of one program parameter into what a command needs. Each returns nothing
// and sets error to the SCPI number when the parameter does not fit: -224 for the wrong
// kind or an unknown choice, -222 for a number outside the range.

struct NumericRange {
    double min = 0;
    double max = 0;
    double def = 0;   // what DEFault means
};

// A decimal number, or MINimum, MAXimum, DEFault.
std::optional<double> ToNumber(const ProgramParameter& p, const NumericRange& range, int& error);
// The same, rounded half to even into a whole number.
std::optional<long long> ToInteger(const ProgramParameter& p, const NumericRange& range, int& error);
// ON / OFF, or a number: 0 is off, any other whole number on.
std::optional<bool> ToBoolean(const ProgramParameter& p, int& error);
// The index of the choice the character data names (long or short form).
std::optional<int> ToChoice(const ProgramParameter& p, const QStringList& choices, int& error);
// A quoted string, as UTF-8.
std::optional<QString> ToString(const ProgramParameter& p, int& error);
