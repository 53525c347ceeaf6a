#pragma once

#include <QColor>

class QCustomPlot;

// The look shared by the charts: white plot, dark trace, light grey grid, small fonts.
namespace ChartStyle {
inline const QColor Trace{25, 45, 95};
inline const QColor Fill{70, 110, 170};
inline const QColor Grid{222, 222, 222};
inline const QColor Axis{90, 90, 90};
inline const QColor Handle{230, 120, 0};
inline const QColor Cursor{200, 20, 20};

// Point size of the tick labels and captions.
constexpr double FontPoints = 7.5;

void Apply(QCustomPlot* plot);
}
