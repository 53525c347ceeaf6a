// Charts for kv2680 export (images, or the data behind them as CSV), drawn offscreen by the window's own chart library
// with the axes the window gives them.
#include "cli/Commands.h"

#include "display/charts/ChartExport.h"
#include "display/charts/HistogramControl.h"
#include "display/charts/StripChart.h"
#include "engine/WaveformScaling.h"

#include <memory>

namespace {

void ShowTrace(StripChart& chart, const std::vector<double>& data, double top, double bottom)
{
    const int n = int(data.size());
    chart.SetPointCapacity(std::int16_t(n + 10));
    chart.SetXViewEnd(n - 1);
    chart.SetXSpan(n);
    chart.SetTopLimit(top);
    chart.SetBottomLimit(bottom);
    chart.LoadTrace(0, data);
    chart.Redraw();
}

} // namespace

void WriteChart(const ExportOptions& o, const EvalContext& ctx, const QString& output)
{
    std::unique_ptr<QWidget> chart;
    if (o.view == QLatin1String("histogram")) {
        auto histogram = std::make_unique<HistogramControl>();
        CodeHistogramAccumulator sum;
        sum.Add(ctx.SampleCodes, ctx.CurrentSettings.NumberOfBits);
        histogram->Show(sum.Histogram(), sum.Blocks(), SineCodeDensity(sum.Histogram()));
        chart = std::move(histogram);
    } else if (o.view == QLatin1String("spectrum")) {
        auto strip = std::make_unique<StripChart>();
        const std::int32_t fs = ctx.CurrentSettings.SampleFreq;
        strip->SetXUnitsPerPoint(fs > 0 ? double(fs) / double(ctx.SampleCodes.size()) : 1.0);
        strip->SetAxisLabels(fs > 0 ? QStringLiteral("Frequency (Hz)") : QStringLiteral("Bin"), QStringLiteral("dBFS"));
        ShowTrace(*strip, ctx.Spectrum, SpectrumTop(ctx.Spectrum), -120);
        chart = std::move(strip);
    } else {
        auto strip = std::make_unique<StripChart>();
        strip->SetAxisLabels(QStringLiteral("Sample"), QStringLiteral("Code"));
        const auto [maximum, minimum] = MaxMin(ctx.SampleCodes);
        ShowTrace(*strip, ctx.SampleCodes, maximum, minimum);
        chart = std::move(strip);
    }
    chart->resize(o.width, o.height);
    const auto format = ChartFormatFromPath(QStringLiteral("x.") + o.to);
    if (const auto problem = ExportChart(chart.get(), output, QSize(o.width, o.height), *format))
        throw CommandFailure(ExitStatus::Failed, *problem);
}
