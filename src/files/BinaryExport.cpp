#include "files/BinaryExport.h"

#include "core/EvalError.h"
#include "core/Numbers.h"
#include "files/DataFileIo.h"

QByteArray BinaryLine(double value)
{
    const std::int32_t code = ToInt32(value);
    QByteArray line(16, '0');
    for (int bit = 15; bit >= 0; --bit)
        if (code & (std::int32_t(1) << bit))
            line[15 - bit] = '1';
    return line;
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
