#include "files/DataFileIo.h"

#include "core/EvalError.h"
#include "core/FieldScanner.h"
#include "core/Numbers.h"
#include "core/TextFileGate.h"

#include <QFileInfo>

#include <algorithm>

DataValues ReadDataValues(std::string_view content)
{
    DataValues data;
    FieldScanner scanner(content);
    // A line of a data file is at least two bytes, so this is the count for all but tiny
    // files, and never more than a data file may hold.
    data.Values.reserve(std::min<std::size_t>(content.size() / 2 + 1, MaxDataValues));
    double highest = data.MaxValue, lowest = data.MinValue;
    std::size_t firstBad = 0;
    while (!scanner.AtEnd()) {
        if (qsizetype(data.Values.size()) == MaxDataValues)
            RaiseOverflow();
        double value = 0;
        bool isNumber = scanner.NextPlainDecimal(value);
        if (!isNumber)
            value = LeadingNumber(scanner.Next(), &isNumber);
        if (!isNumber && data.NotNumbers++ == 0)
            firstBad = scanner.FieldStart();
        data.Values.push_back(value);
        highest = value > highest ? value : highest;
        lowest = value < lowest ? value : lowest;
    }
    data.MaxValue = highest;
    data.MinValue = lowest;
    if (data.NotNumbers > 0) {
        data.FirstNotNumberLine = scanner.LineAt(firstBad);
        const std::string_view line = scanner.LineTextAt(firstBad);
        data.FirstNotNumberText = QString::fromLatin1(line.data(), qsizetype(std::min<std::size_t>(line.size(), 60)));
    }
    return data;
}

QString NoNumberReason(const DataValues& data)
{
    return QStringLiteral("No field in it is a number (line %1 reads \"%2\").")
        .arg(data.FirstNotNumberLine)
        .arg(data.FirstNotNumberText);
}

std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 maxBytes, QString* reason)
{
    TextFile file = ReadTextFile(path, maxBytes);
    *reason = file.Problem.Reason;
    return std::move(file.Content);
}

QString WithDataExtension(const QString& path)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".dat") : path;
}

qsizetype ValuesToWrite(qsizetype held, qsizetype count)
{
    return std::clamp<qsizetype>(count, 0, held);
}
