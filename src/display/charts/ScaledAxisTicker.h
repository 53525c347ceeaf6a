#pragma once

#include <qcustomplot.h>

// Ticks for an axis whose positions are points but whose labels read in other units
// (for example Hz on a spectrum): label = (position - offset) * unitsPerPoint. The tick
// steps are chosen in the label units, so the labels come out round; large values get a
// k or M suffix to stay short on a small chart.
class ScaledAxisTicker : public QCPAxisTicker {
public:
    void SetScale(double unitsPerPoint, double offsetPoints);
    // The label value of a position.
    double Value(double position) const { return (position - offset_) * unitsPerPoint_; }

    void generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                  QVector<double>& ticks, QVector<double>* subTicks,
                  QVector<QString>* tickLabels) override;

protected:
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision) override;

private:
    double unitsPerPoint_ = 1.0;
    double offset_ = 0.0;
};
