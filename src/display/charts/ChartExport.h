#pragma once

#include <QSize>
#include <QString>
#include <optional>

class QWidget;

// Writing a chart for a report: as a picture (PNG, PDF, SVG) drawn by the chart's own
// code at a chosen size, or as the data behind it (CSV with an x,y header naming the
// axes' units). Works on charts that were never shown, so it serves headless tools too.
enum class ChartFormat { Png, Pdf, Svg, Csv };

// The format a file name's extension asks for (any letter case), if it is one of the four.
std::optional<ChartFormat> ChartFormatFromPath(const QString& path);

// chart: a StripChart, a HistogramControl or a QCustomPlot. size: in pixels (one pixel
// is one point in a PDF); not used for CSV. Returns nullopt on success, else a one-line
// reason naming the file.
std::optional<QString> ExportChart(QWidget* chart, const QString& path, QSize size, ChartFormat format);
