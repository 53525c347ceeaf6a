#include "files/BinaryExport.h"

#include "core/Numbers.h"

QByteArray BinaryLine(double value)
{
    const std::int32_t code = ToInt32(value);
    QByteArray line(16, '0');
    for (int bit = 15; bit >= 0; --bit)
        if (code & (std::int32_t(1) << bit))
            line[15 - bit] = '1';
    return line;
}
