#include "ChartStyle.h"

#include <qcustomplot.h>

void ChartStyle::Apply(QCustomPlot* plot)
{
    plot->setBackground(Qt::white);
    plot->setNoAntialiasingOnDrag(true);
    // Nothing is drawn on the overlay layer; as a logical layer it shares the main paint
    // buffer instead of holding and compositing a second window-sized one.
    plot->layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    QFont font = plot->font();
    font.setPointSizeF(FontPoints);
    for (QCPAxis* axis : {plot->xAxis, plot->yAxis}) {
        axis->setTickLabelFont(font);
        axis->setLabelFont(font);
        axis->setBasePen(QPen(Axis));
        axis->setTickPen(QPen(Axis));
        axis->setSubTickPen(QPen(Axis));
        axis->setTickLabelColor(Axis.darker(150));
        axis->setLabelColor(Axis.darker(150));
        axis->setTickLengthOut(0);
        axis->setLabelPadding(2);
        axis->setTickLabelPadding(3);
        axis->grid()->setPen(QPen(Grid, 0));
        axis->grid()->setZeroLinePen(Qt::NoPen);
        axis->grid()->setSubGridVisible(false);
    }
    plot->axisRect()->setupFullAxesBox(false);
    plot->xAxis2->setTickLabels(false);
    plot->yAxis2->setTickLabels(false);
    plot->xAxis2->setTicks(false);
    plot->yAxis2->setTicks(false);
    plot->xAxis2->setBasePen(QPen(Axis));
    plot->yAxis2->setBasePen(QPen(Axis));
}
