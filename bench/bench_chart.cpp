// Drawing cost per acquisition: a new 8192-point trace loaded and drawn offscreen, and
// the code histogram of the same block.
#include "BenchSignals.h"
#include "OffscreenBenchmarkMain.h"
#include "display/widgets/HistogramControl.h"
#include "display/widgets/StripChart.h"

#include <benchmark/benchmark.h>
#include <qcustomplot.h>

namespace {

void LoadTraceAndRedraw(benchmark::State& state)
{
    StripChart chart;
    chart.resize(1000, 300);
    chart.show();
    const std::vector<double> blocks[] = {NoisySine(8192, 101.3, 1), NoisySine(8192, 101.3, 2)};
    chart.SetXViewEnd(8191);
    chart.SetXSpan(8192);
    chart.SetTopLimit(4095);
    chart.SetBottomLimit(0);
    std::size_t i = 0;
    for (auto _ : state) {
        chart.ClearTrace();
        chart.SetPointCapacity(8192 + 10);
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
    for (auto _ : state) {
        histogram.BuildHistogram(codes, 12);
        histogram.findChild<QCustomPlot*>()->replot(QCustomPlot::rpImmediateRefresh);
    }
}

} // namespace

BENCHMARK(LoadTraceAndRedraw)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(BuildHistogramAndRedraw)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
