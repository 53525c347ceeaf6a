// The spectrum path of one block against the bare FFT it is built on: the goal is the
// whole analysis (mean, window, transform, dBFS, metrics) within twice the transform.
#include "BenchSignals.h"
#include "analysis/SpectrumAnalyzer.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>

namespace {

void BareFftwRealToComplex(benchmark::State& state)
{
    const auto n = std::size_t(state.range(0));
    double* in = fftw_alloc_real(n);
    fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(int(n), in, out, FFTW_MEASURE);
    const auto codes = NoisySine(n, 1001.3, 7);
    std::copy(codes.begin(), codes.end(), in);
    for (auto _ : state) {
        fftw_execute(plan);
        benchmark::DoNotOptimize(out[1][0]);
    }
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
}

void SpectrumWithMetrics(benchmark::State& state)
{
    const auto n = std::size_t(state.range(0));
    const auto codes = NoisySine(n, 1001.3, 7);
    SpectrumAnalyzer analyzer;
    std::vector<double> spectrum;
    analyzer.Analyse(codes);   // plans the transform outside the timing
    for (auto _ : state) {
        analyzer.Analyse(codes);
        analyzer.SpectrumDb(spectrum);
        benchmark::DoNotOptimize(analyzer.Metrics().sinadDb);
        benchmark::DoNotOptimize(spectrum.data());
    }
}

} // namespace

BENCHMARK(BareFftwRealToComplex)->Arg(32768)->Arg(8192)->Unit(benchmark::kMicrosecond)
    ->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(SpectrumWithMetrics)->Arg(32768)->Arg(8192)->Unit(benchmark::kMicrosecond)
    ->Repetitions(15)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
