#pragma once

#include <QString>
#include <vector>

class QCustomPlot;

// A labelled mark on a chart at a (fractional) point index and a value, such as a
// harmonic on the spectrum; highlighted marks stand out (the worst spur).
struct ChartMarker {
    double point = 0;   // drawn at x = point + 1, like the trace
    double value = 0;
    QString label;
    bool highlight = false;
    bool beside = false;   // label to the right of the mark (for a mark at the top of the chart)
};

// Replaces the marks on the plot (kept on their own layer, above the trace) by these.
void PlaceChartMarkers(QCustomPlot* plot, const std::vector<ChartMarker>& markers);
// The marks' labels on the plot, in order (for tests).
QStringList ChartMarkerLabels(QCustomPlot* plot);
