// Drawing cost per acquisition: a new trace loaded and drawn offscreen, at the chart's own
// choice of antialiasing and with it forced on and off (which sets the length above which
// the chart drops it), and the code histogram of an 8192-sample block summed, its linearity
// worked out and drawn.
#include "BenchSignals.h"
#include "OffscreenBenchmarkMain.h"
#include "display/charts/HistogramControl.h"
#include "display/charts/StripChart.h"

#include <benchmark/benchmark.h>
#include <qcustomplot.h>

namespace {

enum Antialiasing { ChartsChoice, ForcedOn, ForcedOff };

// Args: points, Antialiasing.
void LoadTraceAndRedraw(benchmark::State& state)
{
    const int n = int(state.range(0));
    StripChart chart;
    chart.resize(1000, 300);
    chart.show();
    if (state.range(1) == ForcedOn)
        chart.Plot()->setAntialiasedElements(QCP::aePlottables);
    if (state.range(1) == ForcedOff)
        chart.Plot()->setNotAntialiasedElements(QCP::aePlottables);
    const std::vector<double> blocks[] = {NoisySine(std::size_t(n), 101.3, 1), NoisySine(std::size_t(n), 101.3, 2)};
    chart.SetXViewEnd(n - 1);
    chart.SetXSpan(n);
    chart.SetTopLimit(4095);
    chart.SetBottomLimit(0);
    std::size_t i = 0;
    for (auto _ : state) {
        chart.ClearTrace();
        chart.SetPointCapacity(std::int16_t(n + 10));
        chart.LoadTrace(0, blocks[i++ % 2]);
        chart.Plot()->replot(QCustomPlot::rpImmediateRefresh);
    }
}

void BuildHistogramAndRedraw(benchmark::State& state)
{
    HistogramControl histogram;
    histogram.resize(1000, 300);
    histogram.show();
    const auto codes = NoisySine(8192, 101.3, 3);
    CodeHistogramAccumulator sum;
    for (auto _ : state) {
        sum.Add(codes, 12);
        histogram.Show(sum.Histogram(), sum.Blocks(), SineCodeDensity(sum.Histogram()));
        histogram.findChild<QCustomPlot*>()->replot(QCustomPlot::rpImmediateRefresh);
    }
}

} // namespace

BENCHMARK(LoadTraceAndRedraw)
    ->ArgsProduct({{256, 512, 1024, 2048, 4096, 8192}, {ChartsChoice, ForcedOn, ForcedOff}})
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BuildHistogramAndRedraw)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
