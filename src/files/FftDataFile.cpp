#include "files/FftDataFile.h"

#include "core/EvalError.h"
#include "files/DataFileIo.h"

#include <QFileInfo>

namespace {

// Reads one chosen file; nullopt with the reason when it cannot be read, is empty or holds
// too many values.
std::optional<DataValues> ReadSpectrumFile(const QString& path, QString& reason)
{
    const auto content = ReadWholeFile(path, MaxFftFileBytes, &reason);
    if (!content)
        return std::nullopt;
    DataValues data;
    if (RunStep([&] { data = ReadDataValues(*content); }) != 0)
        reason = QStringLiteral("It holds more than %1 values.").arg(MaxDataValues);
    else if (data.Values.empty())
        reason = QStringLiteral("It holds no values.");
    else if (data.NoNumberAtAll())
        reason = NoNumberReason(data);
    else
        return data;
    return std::nullopt;
}

} // namespace

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
