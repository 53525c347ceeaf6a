#include "StripChart.h"

#include "ChartStyle.h"
#include "ReplotPacer.h"
#include "ScaledAxisTicker.h"

#include <QVBoxLayout>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// Grabbing distance for a handle, in pixels.
constexpr double HandleReach = 6.0;

enum Handle { TopH, BottomH, LeftH, RightH, HandleCount };

// The mouse button and modifier codes of the MouseUp event: 1 left, 2 right, 4 middle;
// 1 shift, 2 control, 4 alt.
int ButtonCode(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int ShiftCode(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

} // namespace

struct StripChart::Impl {
    // What the axes show: vertical limits, and the points from end - span + 1 to end
    // (point p is drawn at x = p + 1).
    struct View {
        double top = 100, bottom = 0;
        int span = 100, end = 99;
        bool operator==(const View&) const = default;
    };

    QCustomPlot* plot = nullptr;
    ReplotPacer* pacer = nullptr;   // owned by the plot
    QCPGraph* trace = nullptr;
    QSharedPointer<ScaledAxisTicker> xTicker;
    QVector<QCPGraphData> points;   // refilled in place, shared with the graph
    QCPItemStraightLine* handles[HandleCount] = {};
    QCPItemStraightLine* cursorLine = nullptr;
    QCPItemTracer* cursorDot = nullptr;

    View view;
    std::vector<View> zoomedFrom;   // the views before each zoom, the full view first
    std::function<void()> zoomChanged;
    double handleValue[HandleCount] = {100, 0, 0, 99};
    int handleMode = 0;
    std::int32_t gridLines = 0;
    bool tickPoints = false;

    enum class Drag { None, Cursor, Handle } drag = Drag::None;
    int draggedHandle = 0;
    double cursorX = 0;

    bool HandlesShown() const { return handleMode != 0; }

    void ApplyView()
    {
        double lo = std::min(view.bottom, view.top), hi = std::max(view.bottom, view.top);
        if (!(hi - lo > 1e-9 * std::max(1.0, std::abs(hi)))) {
            // A flat trace still gets a vertical range around it.
            const double pad = std::max(1.0, std::abs(hi) * 1e-3);
            lo -= pad;
            hi += pad;
        }
        plot->yAxis->setRange(lo, hi);
        const int span = std::max(view.span, 1);
        // A view that would start before the first point starts there and keeps its end:
        // a span wider than the trace does not leave empty room beside it.
        const int first = std::max(view.end - span + 1, 0);
        plot->xAxis->setRange(first, std::max(view.end + 1, first + 1));
    }

    void PlaceHandles()
    {
        for (int h = 0; h < HandleCount; ++h) {
            const bool vertical = h == LeftH || h == RightH;
            const double v = vertical ? handleValue[h] + 1 : handleValue[h];
            handles[h]->point1->setCoords(vertical ? v : 0, vertical ? 0 : v);
            handles[h]->point2->setCoords(vertical ? v : 1, vertical ? 1 : v);
            handles[h]->setVisible(HandlesShown());
        }
    }

    // Empties the graph by dropping its share of the point buffer, so the next trace
    // refills the buffer in place (clearing the shared data would allocate a new one).
    void ReleaseTrace() { trace->data()->set(QVector<QCPGraphData>(), true); }

    void SetHandle(int h, double value)
    {
        handleValue[h] = value;
        PlaceHandles();
        pacer->Request();
    }

    View HandleView() const
    {
        View v;
        v.top = std::max(handleValue[TopH], handleValue[BottomH]);
        v.bottom = std::min(handleValue[TopH], handleValue[BottomH]);
        v.end = int(std::max(handleValue[LeftH], handleValue[RightH]));
        v.span = std::max(1, v.end - int(std::min(handleValue[LeftH], handleValue[RightH])));
        return v;
    }

    void SetView(const View& v)
    {
        view = v;
        ApplyView();
        pacer->Request();
    }

    // A view set from outside becomes the new full view.
    void ViewSetByCaller()
    {
        const bool wasZoomed = !zoomedFrom.empty();
        zoomedFrom.clear();
        ApplyView();
        pacer->Request();
        if (wasZoomed)
            zoomChanged();
    }

    void ZoomToHandles()
    {
        const View target = HandleView();
        if (target == view)
            return;
        zoomedFrom.push_back(view);
        SetView(target);
        zoomChanged();
    }

    void FullView()
    {
        if (zoomedFrom.empty())
            return;
        const View full = zoomedFrom.front();
        zoomedFrom.clear();
        SetView(full);
        zoomChanged();
    }

    // The nearest data point to a pixel column, in point units (index + 1).
    double SnapX(double pixelX) const
    {
        const double x = std::round(plot->xAxis->pixelToCoord(pixelX));
        const int count = trace->dataCount();
        return count > 0 ? std::clamp(x, 1.0, double(count)) : x;
    }

    int HandleAt(QPointF pos) const
    {
        if (!HandlesShown())
            return -1;
        for (int h = 0; h < HandleCount; ++h) {
            const bool vertical = h == LeftH || h == RightH;
            const double at = vertical ? plot->xAxis->coordToPixel(handleValue[h] + 1)
                                       : plot->yAxis->coordToPixel(handleValue[h]);
            if (std::abs((vertical ? pos.x() : pos.y()) - at) <= HandleReach)
                return h;
        }
        return -1;
    }

    void MoveHandle(QPointF pos)
    {
        const bool vertical = draggedHandle == LeftH || draggedHandle == RightH;
        SetHandle(draggedHandle, vertical ? SnapX(pos.x()) - 1 : plot->yAxis->pixelToCoord(pos.y()));
    }

    void PlaceCursor(double x)
    {
        cursorX = x;
        cursorLine->point1->setCoords(x, 0);
        cursorLine->point2->setCoords(x, 1);
        cursorDot->setGraphKey(x);
    }

    void ShowCursor(bool on)
    {
        cursorLine->setVisible(on);
        // Tied to the trace only while shown: a tracer on an empty graph complains.
        const bool onData = on && trace->dataCount() > 0;
        cursorDot->setGraph(onData ? trace : nullptr);
        cursorDot->setVisible(onData);
        pacer->Request();
    }
};

StripChart::StripChart(QWidget* parent) : QWidget(parent), d(new Impl)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    d->plot = new QCustomPlot(this);
    d->pacer = new ReplotPacer(d->plot);
    layout->addWidget(d->plot);
    d->plot->setMouseTracking(true);
    d->zoomChanged = [this] { emit ZoomChanged(); };
    ChartStyle::Apply(d->plot);

    d->xTicker.reset(new ScaledAxisTicker);
    d->plot->xAxis->setTicker(d->xTicker);

    d->trace = d->plot->addGraph();
    d->trace->setPen(QPen(ChartStyle::Trace, 1));
    // Smoothing shows only while a segment spans more than a pixel; on a denser trace it
    // doubles the drawing time and changes nothing visible.
    connect(d->plot, &QCustomPlot::beforeReplot, this, [this] {
        const double shown = std::min(double(d->trace->dataCount()), d->plot->xAxis->range().size());
        d->trace->setAntialiased(shown < d->plot->axisRect()->width());
    });

    for (auto*& h : d->handles) {
        h = new QCPItemStraightLine(d->plot);
        h->setPen(QPen(ChartStyle::Handle, 1, Qt::DashLine));
        h->setSelectable(false);
    }
    d->cursorLine = new QCPItemStraightLine(d->plot);
    d->cursorLine->setPen(QPen(ChartStyle::Cursor, 1));
    d->cursorDot = new QCPItemTracer(d->plot);
    d->cursorDot->setStyle(QCPItemTracer::tsCircle);
    d->cursorDot->setSize(7);
    d->cursorDot->setPen(QPen(ChartStyle::Cursor, 1.5));
    d->cursorLine->setVisible(false);
    d->cursorDot->setVisible(false);

    // Start as the main window's option boxes do: both grids, no point marks, no handles.
    SetGridLines(3);
    d->PlaceHandles();
    d->ApplyView();
    ConnectMouse();
}

// Left press: a handle to drag, or the read-out cursor; right press: the whole trace;
// double-click: zoom to the handles and back.
void StripChart::ConnectMouse()
{
    connect(d->plot, &QCustomPlot::mousePress, this, [this](QMouseEvent* e) {
        if (e->button() == Qt::RightButton) {
            d->FullView();
            return;
        }
        if (e->button() != Qt::LeftButton)
            return;
        const int h = d->HandleAt(e->position());
        if (h >= 0) {
            d->drag = Impl::Drag::Handle;
            d->draggedHandle = h;
            return;
        }
        d->drag = Impl::Drag::Cursor;
        d->PlaceCursor(d->SnapX(e->position().x()));
        d->ShowCursor(true);
        emit CursorChange(d->cursorX);
    });
    connect(d->plot, &QCustomPlot::mouseMove, this, [this](QMouseEvent* e) {
        switch (d->drag) {
        case Impl::Drag::Handle:
            d->MoveHandle(e->position());
            return;
        case Impl::Drag::Cursor: {
            const double x = d->SnapX(e->position().x());
            if (x == d->cursorX)
                return;
            d->PlaceCursor(x);
            d->pacer->Request();
            emit CursorChange(x);
            return;
        }
        case Impl::Drag::None: {
            const int h = d->HandleAt(e->position());
            d->plot->setCursor(h < 0                        ? Qt::ArrowCursor
                               : h == TopH || h == BottomH ? Qt::SizeVerCursor
                                                           : Qt::SizeHorCursor);
            return;
        }
        }
    });
    connect(d->plot, &QCustomPlot::mouseRelease, this, [this](QMouseEvent* e) {
        if (d->drag == Impl::Drag::Cursor)
            d->ShowCursor(false);
        d->drag = Impl::Drag::None;
        emit MouseUp(ButtonCode(e->button()), ShiftCode(e->modifiers()), float(e->position().x()),
                     float(e->position().y()));
    });
    connect(d->plot, &QCustomPlot::mouseDoubleClick, this, [this](QMouseEvent* e) {
        if (e->button() != Qt::LeftButton)
            return;
        // Zoom to the handles; when already there (or the handles are hidden), back out.
        if (d->HandlesShown() && d->HandleView() != d->view)
            d->ZoomToHandles();
        else
            d->FullView();
    });
}

StripChart::~StripChart()
{
    delete d;
}

void StripChart::ClearTrace()
{
    d->ReleaseTrace();
    d->pacer->Request();
}

void StripChart::LoadTrace(int trace, const std::vector<double>& data)
{
    if (trace != 0)
        return;
    d->ReleaseTrace();
    d->points.resize(qsizetype(data.size()));
    for (std::size_t i = 0; i < data.size(); ++i) {
        d->points[qsizetype(i)].key = double(i + 1);
        d->points[qsizetype(i)].value = data[i];
    }
    d->trace->data()->set(d->points, true);
    d->pacer->Request();
}

void StripChart::Redraw()
{
    d->pacer->Request();
}

double StripChart::TopLimit() const { return d->view.top; }

void StripChart::SetTopLimit(double value)
{
    d->view.top = value;
    d->ViewSetByCaller();
}

double StripChart::BottomLimit() const { return d->view.bottom; }

void StripChart::SetBottomLimit(double value)
{
    d->view.bottom = value;
    d->ViewSetByCaller();
}

void StripChart::SetTopHandle(double value) { d->SetHandle(TopH, value); }

void StripChart::SetBottomHandle(double value) { d->SetHandle(BottomH, value); }

void StripChart::SetRightHandle(int point) { d->SetHandle(RightH, point); }

void StripChart::SetLeftHandle(int point) { d->SetHandle(LeftH, point); }

void StripChart::SetHandleMode(int mode)
{
    d->handleMode = mode;
    d->PlaceHandles();
    Redraw();
}

int StripChart::HandleMode() const { return d->handleMode; }

std::int32_t StripChart::GridLines() const { return d->gridLines; }

void StripChart::SetGridLines(std::int32_t flags)
{
    d->gridLines = flags;
    d->plot->yAxis->grid()->setVisible(flags & 1);
    d->plot->xAxis->grid()->setVisible(flags & 2);
    Redraw();
}

void StripChart::SetTickPoints(int on)
{
    d->tickPoints = on != 0;
    d->trace->setScatterStyle(d->tickPoints ? QCPScatterStyle(QCPScatterStyle::ssDisc, 4)
                                            : QCPScatterStyle(QCPScatterStyle::ssNone));
    Redraw();
}

void StripChart::SetPointCapacity(std::int16_t points)
{
    // Room for the coming trace, so loading it does not reallocate.
    d->points.reserve(std::max<qsizetype>(points, 0));
}

void StripChart::SetXSpan(int span)
{
    d->view.span = span;
    d->ViewSetByCaller();
}

void StripChart::SetXViewEnd(int lastPoint)
{
    d->view.end = lastPoint;
    d->ViewSetByCaller();
}

void StripChart::SetAxisLabels(const QString& x, const QString& y)
{
    d->plot->xAxis->setLabel(x);
    d->plot->yAxis->setLabel(y);
    Redraw();
}

void StripChart::SetXUnitsPerPoint(double unitsPerPoint, double offsetPoints)
{
    d->xTicker->SetScale(unitsPerPoint, offsetPoints);
    Redraw();
}

bool StripChart::Zoomed() const { return !d->zoomedFrom.empty(); }

void StripChart::FullView() { d->FullView(); }

QCustomPlot* StripChart::Plot() const { return d->plot; }

int StripChart::PointCount() const { return d->trace->dataCount(); }

void StripChart::SetMarkers(const std::vector<ChartMarker>& markers)
{
    PlaceChartMarkers(d->plot, markers);
}
