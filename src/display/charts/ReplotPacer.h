#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QCustomPlot;

// Replots a chart at most once per screen frame. Requests that arrive between two frames
// are merged into one replot of the chart's latest state, so a source faster than the
// screen costs one drawing per frame, not one per update; the data itself is always set
// at once by the caller. A hidden chart is not drawn until it is shown again.
class ReplotPacer : public QObject {
public:
    explicit ReplotPacer(QCustomPlot* plot);

    void Request();
    void Now();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int FrameMs() const;

    QCustomPlot* plot_;
    QTimer timer_;
    QElapsedTimer sinceReplot_;
    bool stale_ = false;   // a request came while the chart was hidden
};
