#include "files/FftDataFile.h"

#include "core/EvalError.h"
#include "files/DataFileIo.h"

namespace {

// Reads one chosen file; nullopt when it cannot be read, is empty or holds too many values.
std::optional<DataValues> ReadSpectrumFile(const QString& path)
{
    QString reason;
    const auto content = ReadWholeFile(path, &reason);
    if (!content)
        return std::nullopt;
    DataValues data;
    if (RunStep([&] { data = ReadDataValues(*content); }) != 0 || data.Values.empty())
        return std::nullopt;
    return data;
}

} // namespace

std::int16_t LoadFFTFile(FileChooser& chooser, Messenger& messenger, Settings& settings,
                         std::vector<double>& target)
{
    for (;;) {
        const auto path = chooser.ChooseFile({QStringLiteral("Load an FFT File"), DataFileFilter,
                                              /*save=*/false, /*promptOverwrite=*/false});
        if (!path)
            return FileStatus::Cancelled;
        if (auto data = ReadSpectrumFile(*path)) {
            target = std::move(data->Values);
            settings.MaxValue = data->MaxValue;
            settings.MinValue = data->MinValue;
            return FileStatus::Done;
        }
        const MessageResult answer = messenger.ShowMessage(
            {FftReadErrorText, QString(), MessageIcon::Exclamation, MessageButtons::RetryCancel});
        if (answer != MessageResult::Retry)
            return FileStatus::Abandoned;
    }
}
