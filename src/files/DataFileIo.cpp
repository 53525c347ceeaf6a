#include "files/DataFileIo.h"

#include "core/EvalError.h"
#include "core/FieldReader.h"
#include "core/Numbers.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

DataValues ReadDataValues(const QByteArray& content)
{
    DataValues data;
    FieldReader reader(content);
    while (!reader.AtEnd()) {
        if (qsizetype(data.Values.size()) == MaxDataValues)
            RaiseOverflow();
        const double value = Val(reader.Next());
        data.Values.push_back(value);
        if (value > data.MaxValue)
            data.MaxValue = value;
        if (value < data.MinValue)
            data.MinValue = value;
    }
    return data;
}

std::optional<QByteArray> ReadWholeFile(const QString& path, QString* reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return std::nullopt;
    }
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return std::nullopt;
    }
    return content;
}

qsizetype ValuesToWrite(qsizetype held, qsizetype count)
{
    return std::clamp<qsizetype>(count, 0, held);
}

std::int16_t SaveWithDialog(FileChooser& chooser, Messenger& messenger, const QByteArray& content,
                            qsizetype written, qsizetype asked)
{
    const auto path = chooser.ChooseFile({QStringLiteral("Save FFT Data"), DataFileFilter,
                                          /*save=*/true, /*promptOverwrite=*/true});
    if (!path)
        return FileStatus::Cancelled;

    // Unbuffered, so a write that fails (a full disk) is seen here and not lost in a
    // buffer that the final rename would not check.
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(content) != content.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        TellFileProblem(messenger, QStringLiteral("could not be written"), *path, reason);
        return FileStatus::Abandoned;
    }
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
