#pragma once

#include "config/Settings.h"
#include "core/UserInterface.h"

#include <cstdint>
#include <vector>

// FFT data files share the raw data file's layout: one spectrum bin in dB per line, bin 0
// first. They are written with SaveDataFile (RawDataFile.h).

// The message shown when a spectrum file cannot be read.
inline const QString FftReadErrorText = QStringLiteral(
    "An Error Occurred While Reading This File.\rIt May Not Be A Valid Data File.");

// Asks for an FFT data file and reads it into target; MaxValue and MinValue of settings
// become the file's extremes, NumberOfSamples is left alone. A file that cannot be read,
// is not a regular file, is larger than MaxFftFileBytes, is empty or holds more than 32767
// values brings up the Retry/Cancel message, after a status line that says why; Retry asks
// for a file again. Returns 0 loaded, 1 the dialog was cancelled, 2 the user chose Cancel
// at the message.
std::int16_t LoadFFTFile(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                         Settings& settings, std::vector<double>& target);
