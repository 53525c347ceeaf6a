// Chart images for kv2680 export, drawn by the window's chart widgets offscreen.
#include "cli/Commands.h"

#include "display/widgets/StripChart.h"
#include "engine/AcquisitionEngine.h"

#include <qcustomplot.h>

void WriteChartImage(const ExportOptions& o, const AcquisitionEngine& engine, const EvalContext& ctx,
                     const QString& output)
{
    (void)engine;
    StripChart chart;
    chart.resize(o.width, o.height);
    const bool spectrum = o.view == QLatin1String("spectrum");
    const std::vector<double>& data = spectrum ? ctx.Spectrum : ctx.SampleCodes;
    chart.SetPointCapacity(std::int16_t(data.size()));
    chart.LoadTrace(0, data);
    chart.SetXSpan(int(data.size()));
    chart.SetXViewEnd(int(data.size()) - 1);
    chart.Redraw();
    QCustomPlot* plot = chart.Plot();
    bool ok = false;
    if (o.to == QLatin1String("png"))
        ok = plot->savePng(output, o.width, o.height);
    else if (o.to == QLatin1String("pdf"))
        ok = plot->savePdf(output, o.width, o.height);
    if (!ok)
        throw CommandFailure(ExitStatus::Failed, output + QStringLiteral(": the chart could not be written"));
}
