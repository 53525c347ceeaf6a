#include "config/ClockSettings.h"

#include "core/EvalError.h"
#include "core/Numbers.h"

namespace {
const QString kSource = QStringLiteral("ClockSettings Class");
}

void ClockSettings::SetSampleFrequency(std::int32_t hz)
{
    if (hz <= 0)
        throw EvalError(510, kSource, QStringLiteral("Frequencies less than 0Hz are not allowed."));
    const std::int32_t count = crystal_ / hz;
    sample_ = hz;
    const std::int32_t t = count - 1;
    const std::int16_t high = ToInt16(t / 256);
    const std::int16_t low = ToInt16(t - 256 * high);
    high_ = high;
    low_ = low;
}

void ClockSettings::SetTPeriodHigh(std::int16_t)
{
    throw EvalError(509, kSource, QStringLiteral("This Property is Read-Only"));
}

void ClockSettings::SetTPeriodLow(std::int16_t)
{
    throw EvalError(509, kSource, QStringLiteral("This Property is Read-Only"));
}
