#include "ChartExport.h"

#include "ScaledAxisTicker.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QSvgGenerator>
#include <qcustomplot.h>

namespace {

QCustomPlot* PlotOf(QWidget* chart)
{
    if (auto* plot = qobject_cast<QCustomPlot*>(chart))
        return plot;
    return chart ? chart->findChild<QCustomPlot*>() : nullptr;
}

// The trace the chart shows: its first visible plottable that holds data.
QCPAbstractPlottable* ShownPlottable(QCustomPlot* plot)
{
    for (int i = 0; i < plot->plottableCount(); ++i) {
        QCPAbstractPlottable* p = plot->plottable(i);
        if (p->visible() && p->interface1D() && p->interface1D()->dataCount() > 0)
            return p;
    }
    return nullptr;
}

QString CsvField(QString text)
{
    if (!text.contains(u',') && !text.contains(u'"'))
        return text;
    return u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

std::optional<QString> WriteCsv(QCustomPlot* plot, const QString& path)
{
    QCPAbstractPlottable* shown = ShownPlottable(plot);
    if (!shown)
        return QStringLiteral("The chart holds no data to write to %1").arg(path);
    // Strip charts draw at point positions but label the axis in its own units.
    const auto* scaled = dynamic_cast<const ScaledAxisTicker*>(plot->xAxis->ticker().data());
    QCPPlottableInterface1D* data = shown->interface1D();

    QString text = CsvField(plot->xAxis->label()) + u',' + CsvField(plot->yAxis->label()) + u'\n';
    for (int i = 0; i < data->dataCount(); ++i) {
        const double key = data->dataMainKey(i);
        text += QString::number(scaled ? scaled->Value(key) : key, 'g', 10) + u',' +
                QString::number(data->dataMainValue(i), 'g', 10) + u'\n';
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        return QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
    return std::nullopt;
}

bool WriteSvg(QCustomPlot* plot, const QString& path, QSize size)
{
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(plot->window()->windowTitle());
    QCPPainter painter;
    if (!painter.begin(&svg))
        return false;
    plot->toPainter(&painter, size.width(), size.height());
    return painter.end();
}

} // namespace

std::optional<ChartFormat> ChartFormatFromPath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"png") return ChartFormat::Png;
    if (suffix == u"pdf") return ChartFormat::Pdf;
    if (suffix == u"svg") return ChartFormat::Svg;
    if (suffix == u"csv") return ChartFormat::Csv;
    return std::nullopt;
}

std::optional<QString> ExportChart(QWidget* chart, const QString& path, QSize size, ChartFormat format)
{
    QCustomPlot* plot = PlotOf(chart);
    if (!plot)
        return QStringLiteral("Nothing to draw into %1").arg(path);
    if (format == ChartFormat::Csv)
        return WriteCsv(plot, path);
    if (size.width() < 1 || size.height() < 1)
        return QStringLiteral("No picture size for %1").arg(path);

    bool written = false;
    switch (format) {
    case ChartFormat::Png: written = plot->savePng(path, size.width(), size.height()); break;
    case ChartFormat::Pdf: written = plot->savePdf(path, size.width(), size.height()); break;
    case ChartFormat::Svg: written = WriteSvg(plot, path, size); break;
    case ChartFormat::Csv: break;
    }
    // The painters report some write failures only through the file left behind.
    if (!written || !QFileInfo(path).isFile() || QFileInfo(path).size() == 0)
        return QStringLiteral("Cannot write %1").arg(path);
    return std::nullopt;
}
