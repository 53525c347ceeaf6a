#pragma once

#include "config/Settings.h"
#include "core/UserInterface.h"

#include <cstdint>
#include <vector>

// Raw data files: one converter code per line as "0.000000", CR LF after every line.

// Asks for a data file and reads it into sampleCodes. On success sampleCodes holds every
// value of the file, MaxValue and MinValue of settings are the file's extremes and
// NumberOfSamples is the block-length exponent nearest to the value count among those the
// board can deliver (0 to 5), so the next acquisition asks for a block it can take.
// An empty file leaves the block and the settings as they were and still returns
// FileStatus::Done, so the caller shows the old block again. A file that cannot be read,
// is not a regular file, is larger than MaxRawFileBytes or holds more than 32767 values is
// reported to the user and changes nothing. The status box is told about an empty file,
// fields that held no number and a value count no block length matches.
// Returns a FileStatus.
std::int16_t LoadRawDataFile(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                             Settings& settings, std::vector<double>& sampleCodes);

// Asks for a file name and writes values(0) .. values(count - 1), one per line. Values the
// array does not hold are not invented: the user is told how many lines were written.
// Shared by the raw and FFT data saves. Returns a FileStatus.
std::int16_t SaveDataFile(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                          const std::vector<double>& values, std::int16_t count);

// The block-length exponent for a file of valueCount values: log2(valueCount / 256) rounded
// half to even into 16 bits.
std::int16_t BlockExponentFor(qsizetype valueCount);
