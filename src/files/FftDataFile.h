#pragma once

#include "files/DataFileIo.h"

#include <QString>
#include <optional>

// FFT data files share the raw data file's layout (RawDataFile.h).

// Reads one spectrum file; nullopt with the reason when it cannot be read, is not a
// regular file, is larger than MaxFftFileBytes, is empty, holds more than MaxDataValues
// values or no number at all.
std::optional<DataValues> ReadSpectrumFile(const QString& path, QString& reason);
