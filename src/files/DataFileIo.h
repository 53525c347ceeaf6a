#pragma once

#include "core/UserInterface.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// What the data-file procedures return: 0 done, 1 the user cancelled the dialog,
// 2 abandoned after a failure the user was told about.
namespace FileStatus {
constexpr std::int16_t Done = 0;
constexpr std::int16_t Cancelled = 1;
constexpr std::int16_t Abandoned = 2;
}

// The filter every data-file dialog offers.
inline const QString DataFileFilter = QStringLiteral("DAT Files|*.dat|All Files|*.*");

// A data file never holds more values than a 16-bit counter can count.
constexpr qsizetype MaxDataValues = 32767;

// The fields of a data file read as numbers in file order, with the largest and smallest
// value scanned from -6666666 and 6666666.
struct DataValues {
    std::vector<double> Values;
    double MaxValue = -6666666;
    double MinValue = 6666666;
};

// Reads every field of a data file's content with the leading-number rule. Raises the
// overflow error 6 when the file holds more than MaxDataValues fields.
DataValues ReadDataValues(const QByteArray& content);

// The whole content of a file, or nullopt with the system's reason in *reason.
std::optional<QByteArray> ReadWholeFile(const QString& path, QString* reason);

// The number of values a save can write: count, but never more than the array holds.
qsizetype ValuesToWrite(qsizetype held, qsizetype count);

// Shows the data save dialog ("Save FFT Data", overwrite prompt) and writes content, the
// lines of `written` values, to the chosen file through a temporary file, so a failed save
// leaves any earlier file intact. A failure is told to the user and gives
// FileStatus::Abandoned; when fewer values were written than asked for, the user is told.
std::int16_t SaveWithDialog(FileChooser& chooser, Messenger& messenger, const QByteArray& content,
                            qsizetype written, qsizetype asked);

// Tells the user that something went wrong with a file, naming it and the system's reason.
void TellFileProblem(Messenger& messenger, const QString& what, const QString& path,
                     const QString& reason);
