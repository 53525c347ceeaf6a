#include "files/RawDataFile.h"

#include "core/EvalError.h"
#include "core/Numbers.h"
#include "files/DataFileIo.h"

#include <cmath>

std::int16_t BlockExponentFor(qsizetype valueCount)
{
    return ToInt16(std::log(double(valueCount) / 256.0) / std::log(2.0));
}

std::int16_t LoadRawDataFile(FileChooser& chooser, Messenger& messenger, Settings& settings,
                             std::vector<double>& sampleCodes)
{
    const auto path = chooser.ChooseFile({QStringLiteral("Load A Data File"), DataFileFilter,
                                          /*save=*/false, /*promptOverwrite=*/false});
    if (!path)
        return FileStatus::Cancelled;

    QString reason;
    const auto content = ReadWholeFile(*path, &reason);
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
    // An empty file cannot be dimensioned as a block: the block in hand stays.
    if (data.Values.empty())
        return FileStatus::Done;

    const qsizetype count = qsizetype(data.Values.size());
    sampleCodes = std::move(data.Values);
    settings.MaxValue = data.MaxValue;
    settings.MinValue = data.MinValue;
    settings.NumberOfSamples = BlockExponentFor(count);
    return FileStatus::Done;
}

std::int16_t SaveDataFile(FileChooser& chooser, Messenger& messenger,
                          const std::vector<double>& values, std::int16_t count)
{
    const qsizetype written = ValuesToWrite(values.size(), count);
    QByteArray content;
    for (qsizetype i = 0; i < written; ++i)
        content += FormatFixed(values[i], 6).toLatin1() + "\r\n";
    return SaveWithDialog(chooser, messenger, content, written, count);
}
