#include "files/RawDataFile.h"

#include "core/Numbers.h"

#include <cmath>

std::int16_t BlockExponentFor(qsizetype valueCount)
{
    return ToInt16(std::log(double(valueCount) / 256.0) / std::log(2.0));
}

QByteArray DataFileContent(const std::vector<double>& values, qsizetype count)
{
    QByteArray content;
    for (qsizetype i = 0; i < count; ++i)
        content += FormatFixed(values[i], 6).toLatin1() + "\r\n";
    return content;
}
