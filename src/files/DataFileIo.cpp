#include "files/DataFileIo.h"

#include "core/EvalError.h"
#include "core/FieldScanner.h"
#include "core/Numbers.h"
#include "core/TextFileGate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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

std::int16_t SaveWithDialog(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                            const QByteArray& content, qsizetype written, qsizetype asked)
{
    const auto chosen = chooser.ChooseFile({QStringLiteral("Save FFT Data"), DataFileFilter,
                                            /*save=*/true, /*promptOverwrite=*/true});
    if (!chosen)
        return FileStatus::Cancelled;
    // The dialog asked about the name as typed; the name with ".dat" is asked about here.
    const QString path = WithDataExtension(*chosen);
    if (path != *chosen && QFileInfo::exists(path)
        && messenger.ShowMessage({QStringLiteral("%1 already exists.\r\nDo you want to replace it?")
                                      .arg(QDir::toNativeSeparators(path)),
                                  std::nullopt, MessageIcon::Exclamation, MessageButtons::YesNo})
               != MessageResult::Yes)
        return FileStatus::Cancelled;

    // Unbuffered, so a write that fails (a full disk) is seen here and not lost in a
    // buffer that the final rename would not check.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(content) != content.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        TellFileProblem(messenger, QStringLiteral("could not be written"), path, reason);
        return FileStatus::Abandoned;
    }
    status.AddLine(QStringLiteral("Saved %1 values to %2").arg(written).arg(QDir::toNativeSeparators(path)));
    if (written < asked)
        messenger.ShowMessage({QStringLiteral("Only %1 of the %2 values exist; %1 lines were written.")
                                   .arg(written).arg(asked),
                               std::nullopt, MessageIcon::Information, MessageButtons::Ok});
    return FileStatus::Done;
}

void TellFileProblem(Messenger& messenger, const QString& what, const QString& path,
                     const QString& reason)
{
    messenger.ShowMessage({QStringLiteral("The file %1 %2.\r\n%3")
                               .arg(QDir::toNativeSeparators(path), what, reason),
                           std::nullopt, MessageIcon::Exclamation, MessageButtons::Ok});
}
