#include "files/FftDataFile.h"

#include "core/EvalError.h"

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
