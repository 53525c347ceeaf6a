#include "ChartMarkers.h"

#include "ChartStyle.h"

#include <qcustomplot.h>

namespace {

const QString LayerName = QStringLiteral("markers");

QCPLayer* MarkerLayer(QCustomPlot* plot)
{
    if (!plot->layer(LayerName))
        plot->addLayer(LayerName, plot->layer(QStringLiteral("main")), QCustomPlot::limAbove);
    return plot->layer(LayerName);
}

} // namespace

void PlaceChartMarkers(QCustomPlot* plot, const std::vector<ChartMarker>& markers)
{
    QCPLayer* layer = MarkerLayer(plot);
    const QList<QCPLayerable*> old = layer->children();
    for (QCPLayerable* item : old)
        if (auto* text = qobject_cast<QCPAbstractItem*>(item))
            plot->removeItem(text);
    QFont font = plot->font();
    font.setPointSizeF(ChartStyle::FontPoints);
    for (const ChartMarker& m : markers) {
        auto* text = new QCPItemText(plot);
        text->setLayer(layer);
        text->position->setCoords(m.point + 1, m.value);
        // The label stands above a small arrow whose tip is the mark, or beside the mark.
        text->setPositionAlignment(m.beside ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignHCenter | Qt::AlignBottom);
        text->setText(m.beside ? QStringLiteral("\u25C2 ") + m.label : m.label + QStringLiteral("\n\u25BE"));
        text->setFont(font);
        text->setColor(m.highlight ? ChartStyle::Cursor : ChartStyle::Handle);
        text->setSelectable(false);
    }
    plot->replot(QCustomPlot::rpQueuedReplot);
}

QStringList ChartMarkerLabels(QCustomPlot* plot)
{
    QStringList labels;
    if (QCPLayer* layer = plot->layer(LayerName))
        for (QCPLayerable* item : layer->children())
            if (auto* text = qobject_cast<QCPItemText*>(item))
                labels << text->text().section(u'\n', 0, 0).remove(QStringLiteral("\u25C2 "));
    return labels;
}
