#pragma once

#include "ChartMarkers.h"

#include <QWidget>
#include <cstdint>
#include <vector>

class QCustomPlot;

// A strip chart on QCustomPlot: one trace drawn with element i at x = i + 1, vertical
// limits, four draggable zoom handles, grids, point marks and a cursor that reports its
// position while the user drags it.
//
// Handle and view positions are point indices: point p is drawn at x = p + 1. The view
// shows x from XViewEnd - XSpan + 1 to XViewEnd + 1. With the handles shown, dragging
// one moves it, a double-click zooms to the rectangle they enclose, and a double-click
// on that zoomed view or a right-click returns to the full view (the one last set through
// the limits and spans). The left button elsewhere drags the cursor, which snaps to the
// nearest point and raises CursorChange(x) with x = index + 1.
class StripChart : public QWidget {
    Q_OBJECT
public:
    explicit StripChart(QWidget* parent = nullptr);
    ~StripChart() override;

    void ClearTrace();
    void LoadTrace(int trace, const std::vector<double>& data);
    void Redraw();

    double TopLimit() const;
    void SetTopLimit(double value);
    double BottomLimit() const;
    void SetBottomLimit(double value);

    void SetTopHandle(double value);
    void SetBottomHandle(double value);
    void SetRightHandle(int point);
    void SetLeftHandle(int point);
    void SetHandleMode(int mode);      // 3 = zoom handles shown, 0 = hidden
    int HandleMode() const;

    std::int32_t GridLines() const;    // 1 horizontal grid, 2 vertical grid
    void SetGridLines(std::int32_t flags);
    void SetTickPoints(int on);        // 0/1: mark every data point
    void SetPointCapacity(std::int16_t points);   // room reserved for the next trace
    void SetXSpan(int span);
    void SetXViewEnd(int lastPoint);

    // Axis captions and an optional scale for the horizontal read-out (for example Hz per
    // point on the spectrum chart); positions stay in points.
    void SetAxisLabels(const QString& x, const QString& y);
    void SetXUnitsPerPoint(double unitsPerPoint, double offsetPoints = 1.0);

    // Whether the user has zoomed in from the full view, and the way back to it.
    bool Zoomed() const;
    void FullView();
    // Labelled marks (e.g. harmonics on the spectrum); replaces the last set.
    void SetMarkers(const std::vector<ChartMarker>& markers);

    // Test and benchmark access.
    QCustomPlot* Plot() const;
    int PointCount() const;

signals:
    void CursorChange(double x);
    void ZoomChanged();   // zoomed in, or back to the full view
    // button: 1 left, 2 right, 4 middle; shift: 1 shift, 2 control, 4 alt; x, y in pixels.
    void MouseUp(int button, int shift, float x, float y);

private:
    void ConnectMouse();

    struct Impl;
    Impl* d;
};
