#include "config/ValueRanges.h"

#include "core/Numbers.h"

#include <algorithm>

std::int16_t DeliverableExponent(std::int16_t exponent)
{
    return std::int16_t(std::clamp<int>(exponent, ValueRange::MinExponent, ValueRange::MaxExponent));
}

QString RangeText(double low, double high)
{
    return QStringLiteral("from %1 to %2").arg(PlainNumber(low), PlainNumber(high));
}
