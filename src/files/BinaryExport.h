#pragma once

#include <QByteArray>

// Binary export: every sample spelled out as 16 binary digits, bit 15 first.

// One line of the export without its line end: the value rounded half to even to a 32-bit
// integer, its low 16 bits shown. Raises the overflow error 6 when it does not fit.
QByteArray BinaryLine(double value);
