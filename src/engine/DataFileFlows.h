#pragma once

#include "config/Settings.h"
#include "core/UserInterface.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

// The data-file flows of the File menu and the tool: a file asked for through the
// FileChooser, what went wrong told through the Messenger, what happened in the status
// lines. The formats themselves are in files/.

// What the data-file flows return: 0 done, 1 the user cancelled the dialog,
// 2 abandoned after a failure the user was told about.
namespace FileStatus {
constexpr std::int16_t Done = 0;
constexpr std::int16_t Cancelled = 1;
constexpr std::int16_t Abandoned = 2;
}

// The message shown when a spectrum file cannot be read.
inline const QString FftReadErrorText = QStringLiteral(
    "An Error Occurred While Reading This File.\rIt May Not Be A Valid Data File.");

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

// Asks for an FFT data file and reads it into target; MaxValue and MinValue of settings
// become the file's extremes, NumberOfSamples is left alone. A file that cannot be read,
// is not a regular file, is larger than MaxFftFileBytes, is empty or holds more than 32767
// values brings up the Retry/Cancel message, after a status line that says why; Retry asks
// for a file again. Returns 0 loaded, 1 the dialog was cancelled, 2 the user chose Cancel
// at the message.
std::int16_t LoadFFTFile(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                         Settings& settings, std::vector<double>& target);

// Asks for a file name and writes values(0) .. values(count - 1), one per line. Values the
// array does not hold are not invented: the user is told how many lines were written.
// Shared by the raw and FFT data saves. Returns a FileStatus.
std::int16_t SaveDataFile(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                          const std::vector<double>& values, std::int16_t count);

// Asks for a file name and writes values(0) .. values(count - 1) as binary lines, CR LF
// after each. A value that does not fit 32 bits is reported to the user and nothing is
// written; values the array does not hold are not invented (the user is told how many
// lines were written). Returns a FileStatus.
std::int16_t SaveBinaryFile(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                            const std::vector<double>& values, std::int32_t count);

// Shows the data save dialog ("Save FFT Data", overwrite prompt) and writes content, the
// lines of `written` values, to the chosen file through a temporary file, so a failed save
// leaves any earlier file intact. A name without an extension gets ".dat" (and the user is
// asked before that name's existing file is replaced). A failure is told to the user and
// gives FileStatus::Abandoned; a save that worked says "Saved N values to NAME" in the
// status box, and when fewer values were written than asked for, the user is told.
std::int16_t SaveWithDialog(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                            const QByteArray& content, qsizetype written, qsizetype asked);

// Tells the user that something went wrong with a file, naming it and the system's reason.
void TellFileProblem(Messenger& messenger, const QString& what, const QString& path,
                     const QString& reason);
