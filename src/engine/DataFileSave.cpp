#include "engine/DataFileFlows.h"

#include "core/EvalError.h"
#include "core/Numbers.h"
#include "files/BinaryExport.h"
#include "files/DataFileIo.h"
#include "files/RawDataFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

std::int16_t SaveDataFile(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                          const std::vector<double>& values, std::int16_t count)
{
    const qsizetype written = ValuesToWrite(values.size(), count);
    return SaveWithDialog(chooser, messenger, status, DataFileContent(values, written), written, count);
}

std::int16_t SaveBinaryFile(FileChooser& chooser, Messenger& messenger, StatusLines& status,
                            const std::vector<double>& values, std::int32_t count)
{
    // Lines are counted in 16 bits: a block whose last index is beyond 32767 is refused.
    if (count - 1 > 32767) {
        messenger.ShowMessage({QStringLiteral("The binary data was not saved.\r\n"
                                              "A binary export holds at most 32768 lines; the block has %1.")
                                   .arg(count),
                               std::nullopt, MessageIcon::Exclamation, MessageButtons::Ok});
        return FileStatus::Abandoned;
    }
    const qsizetype written = ValuesToWrite(values.size(), count);
    QByteArray content;
    for (qsizetype i = 0; i < written; ++i) {
        if (RunStep([&] { content += BinaryLine(values[i]) + "\r\n"; }) != 0) {
            messenger.ShowMessage({QStringLiteral("The binary data was not saved.\r\n"
                                                  "Value %1 (%2) does not fit a 32-bit integer.")
                                       .arg(i).arg(PlainNumber(values[i])),
                                   std::nullopt, MessageIcon::Exclamation, MessageButtons::Ok});
            return FileStatus::Abandoned;
        }
    }
    return SaveWithDialog(chooser, messenger, status, content, written, count);
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
