#include "engine/DataFileFlows.h"

#include "config/ValueRanges.h"
#include "core/EvalError.h"
#include "core/Numbers.h"
#include "files/DataFileIo.h"
#include "files/FftDataFile.h"
#include "files/RawDataFile.h"

#include <QFileInfo>

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

std::int16_t LoadFFTFile(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                         Settings& settings, std::vector<double>& target)
{
    for (;;) {
        const auto path = chooser.ChooseFile({QStringLiteral("Load an FFT File"), DataFileFilter,
                                              /*save=*/false, /*promptOverwrite=*/false});
        if (!path)
            return FileStatus::Cancelled;
        QString reason;
        if (auto data = ReadSpectrumFile(*path, reason)) {
            target = std::move(data->Values);
            settings.MaxValue = data->MaxValue;
            settings.MinValue = data->MinValue;
            return FileStatus::Done;
        }
        status.AddLine(QStringLiteral("%1 was not loaded: %2").arg(QFileInfo(*path).fileName(), reason),
                       Colour::Red);
        const MessageResult answer = messenger.ShowMessage(
            {FftReadErrorText, QString(), MessageIcon::Exclamation, MessageButtons::RetryCancel});
        if (answer != MessageResult::Retry)
            return FileStatus::Abandoned;
    }
}
