#include "ScaledAxisTicker.h"

#include <cmath>

void ScaledAxisTicker::SetScale(double unitsPerPoint, double offsetPoints)
{
    unitsPerPoint_ = unitsPerPoint > 0 && std::isfinite(unitsPerPoint) ? unitsPerPoint : 1.0;
    offset_ = offsetPoints;
}

void ScaledAxisTicker::generate(const QCPRange& range, const QLocale& locale, QChar formatChar,
                                int precision, QVector<double>& ticks, QVector<double>* subTicks,
                                QVector<QString>* tickLabels)
{
    const QCPRange units((range.lower - offset_) * unitsPerPoint_,
                         (range.upper - offset_) * unitsPerPoint_);
    QCPAxisTicker::generate(units, locale, formatChar, precision, ticks, subTicks, tickLabels);
    for (double& t : ticks)
        t = t / unitsPerPoint_ + offset_;
    if (subTicks)
        for (double& t : *subTicks)
            t = t / unitsPerPoint_ + offset_;
}

QString ScaledAxisTicker::getTickLabel(double tick, const QLocale& locale, QChar, int)
{
    const double magnitude = std::abs(tick);
    if (magnitude >= 1e6)
        return locale.toString(tick / 1e6, 'g', 6) + QLatin1Char('M');
    if (magnitude >= 1e4)
        return locale.toString(tick / 1e3, 'g', 6) + QLatin1Char('k');
    return locale.toString(tick, 'g', 6);
}
