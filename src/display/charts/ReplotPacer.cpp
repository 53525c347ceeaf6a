#include "ReplotPacer.h"

#include <QEvent>
#include <QScreen>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

ReplotPacer::ReplotPacer(QCustomPlot* plot) : QObject(plot), plot_(plot)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (plot_->isVisible())
            Now();
        else
            stale_ = true;
    });
    plot_->installEventFilter(this);
    // The chart fills its whole rectangle, so nothing beneath it needs painting first.
    plot_->setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReplotPacer::Request()
{
    if (timer_.isActive())
        return;
    const qint64 since = sinceReplot_.isValid() ? sinceReplot_.elapsed() : FrameMs();
    timer_.start(int(std::max<qint64>(0, FrameMs() - since)));
}

void ReplotPacer::Now()
{
    timer_.stop();
    stale_ = false;
    sinceReplot_.start();
    // Painted with the window's next paint, together with everything else that changed.
    plot_->replot(QCustomPlot::rpQueuedRefresh);
}

bool ReplotPacer::eventFilter(QObject* watched, QEvent* event)
{
    // Drawn before the first paint, so a chart shown again never flashes old content.
    if (watched == plot_ && event->type() == QEvent::Show && stale_)
        Now();
    return false;
}

int ReplotPacer::FrameMs() const
{
    const QScreen* screen = plot_->screen();
    const double hz = screen && screen->refreshRate() > 1 ? screen->refreshRate() : 60.0;
    return int(std::lround(1000.0 / std::clamp(hz, 24.0, 240.0)));
}
