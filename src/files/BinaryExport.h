#pragma once

#include "core/UserInterface.h"

#include <QByteArray>
#include <cstdint>
#include <vector>

// Binary export: every sample spelled out as 16 binary digits, bit 15 first.

// One line of the export without its line end: the value rounded half to even to a 32-bit
// integer, its low 16 bits shown. Raises the overflow error 6 when it does not fit.
QByteArray BinaryLine(double value);

// Asks for a file name and writes values(0) .. values(count - 1) as binary lines, CR LF
// after each. A value that does not fit 32 bits is reported to the user and nothing is
// written; values the array does not hold are not invented (the user is told how many
// lines were written). Returns a FileStatus.
std::int16_t SaveBinaryFile(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                            const std::vector<double>& values, std::int32_t count);
