#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string_view>
#include <vector>

// The filter every data-file dialog offers.
inline const QString DataFileFilter = QStringLiteral("DAT Files|*.dat|All Files|*.*");

// A data file never holds more values than a 16-bit counter can count.
constexpr qsizetype MaxDataValues = 32767;
// No real raw or FFT data file comes near these sizes (32767 values of 15 characters and a
// line end are about 560 KB); larger files are refused unread.
constexpr qint64 MaxRawFileBytes = 1024 * 1024;
constexpr qint64 MaxFftFileBytes = 1024 * 1024;

// The fields of a data file read as numbers in file order, with the largest and smallest
// value scanned from -6666666 and 6666666, and how many fields held no number (they read
// as 0) with the line of the first.
struct DataValues {
    std::vector<double> Values;
    double MaxValue = -6666666;
    double MinValue = 6666666;
    qsizetype NotNumbers = 0;
    int FirstNotNumberLine = 0;
    QString FirstNotNumberText;   // that line, as the file has it (Latin-1)

    // Every field held no number: the file is no data file, whatever it reads as.
    bool NoNumberAtAll() const { return !Values.empty() && NotNumbers == qsizetype(Values.size()); }
};

// Reads every field of a data file's content with the leading-number rule, in place:
// no field is copied. Raises the overflow error 6 when the file holds more than
// MaxDataValues fields.
DataValues ReadDataValues(std::string_view content);
inline DataValues ReadDataValues(const QByteArray& content)
{
    return ReadDataValues(std::string_view(content.constData(), std::size_t(content.size())));
}

// The sentence that refuses a file in which no field is a number, naming its first line.
QString NoNumberReason(const DataValues& data);

// The whole content of a regular file of at most maxBytes, or nullopt with the reason in
// *reason (not found, no permission, a folder, pipe or device, too large ...).
std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 maxBytes, QString* reason);

// The number of values a save can write: count, but never more than the array holds.
qsizetype ValuesToWrite(qsizetype held, qsizetype count);

// The name a save writes to: the chosen one, with ".dat" added when it has no extension.
QString WithDataExtension(const QString& path);
