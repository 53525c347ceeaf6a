#include "files/RawDataFile.h"

#include "config/ValueRanges.h"
#include "core/EvalError.h"
#include "core/Numbers.h"
#include "files/DataFileIo.h"

#include <QFileInfo>
#include <cmath>

std::int16_t BlockExponentFor(qsizetype valueCount)
{
    return ToInt16(std::log(double(valueCount) / 256.0) / std::log(2.0));
}

std::int16_t LoadRawDataFile(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                             Settings& settings, std::vector<double>& sampleCodes)
{
    const auto path = chooser.ChooseFile({QStringLiteral("Load A Data File"), DataFileFilter,
                                          /*save=*/false, /*promptOverwrite=*/false});
    if (!path)
        return FileStatus::Cancelled;

    QString reason;
    const auto content = ReadWholeFile(*path, MaxRawFileBytes, &reason);
    if (!content) {
        TellFileProblem(messenger, QStringLiteral("could not be read"), *path, reason);
        return FileStatus::Abandoned;
    }
    DataValues data;
    if (RunStep([&] { data = ReadDataValues(*content); }) != 0) {
        TellFileProblem(messenger, QStringLiteral("was not loaded"), *path,
                        QStringLiteral("It holds more than %1 values.").arg(MaxDataValues));
        return FileStatus::Abandoned;
    }
    // Letters where codes should be would draw as a flat line of zeros: no such file is
    // taken, and the block on screen stays.
    if (data.NoNumberAtAll()) {
        TellFileProblem(messenger, QStringLiteral("was not loaded"), *path, NoNumberReason(data));
        return FileStatus::Abandoned;
    }
    const QString name = QFileInfo(*path).fileName();
    // An empty file cannot be dimensioned as a block: the block in hand stays.
    if (data.Values.empty()) {
        status.AddLine(QStringLiteral("%1 holds no values; the block in hand stays").arg(name), Colour::Red);
        return FileStatus::Done;
    }
    if (data.NotNumbers > 0)
        status.AddLine(QStringLiteral("%1: %2 of its %3 fields held no number and read as 0 (first on line %4)")
                           .arg(name).arg(data.NotNumbers).arg(data.Values.size()).arg(data.FirstNotNumberLine),
                       Colour::Red);

    const qsizetype count = qsizetype(data.Values.size());
    const std::int16_t exponent = BlockExponentFor(count);
    sampleCodes = std::move(data.Values);
    settings.MaxValue = data.MaxValue;
    settings.MinValue = data.MinValue;
    settings.NumberOfSamples = DeliverableExponent(exponent);
    if (settings.NumberOfSamples != exponent)
        status.AddLine(QStringLiteral("%1 holds %2 values; blocks are 256 to 8192 samples, so it is taken as a block of %3")
                           .arg(name).arg(count).arg(PlainNumber(BlockLength(settings.NumberOfSamples))));
    return FileStatus::Done;
}

std::int16_t SaveDataFile(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                          const std::vector<double>& values, std::int16_t count)
{
    const qsizetype written = ValuesToWrite(values.size(), count);
    QByteArray content;
    for (qsizetype i = 0; i < written; ++i)
        content += FormatFixed(values[i], 6).toLatin1() + "\r\n";
    return SaveWithDialog(chooser, messenger, status, content, written, count);
}
