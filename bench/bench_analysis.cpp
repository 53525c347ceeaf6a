// The spectrum path of one block (mean, window, transform, power average, metrics, dBFS)
// against the bare FFTW real transform of the same length, timed in turn within the same
// loop so both see the same machine; the goal is the whole analysis within 1.6 times the
// transform. Both are timed in this thread's CPU time, so other work on a shared machine
// does not land in either. Also the first block of a process that finds the plans in
// its wisdom file.
#include "BenchSignals.h"
#include "analysis/SpectrumAnalyzer.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <QTemporaryDir>

#include <algorithm>
#include <ctime>

namespace {

double ThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

void SpectrumWithMetrics(benchmark::State& state)
{
    RealFft::SetWisdomFile({});   // plans live in memory only here
    const auto n = std::size_t(state.range(0));
    const auto codes = NoisySine(n, 1001.3, 7);
    SpectrumAnalyzer analyzer;
    analyzer.SetAveraging(int(state.range(1)));
    std::vector<double> spectrum;
    analyzer.Analyse(codes);   // plans the transform outside the timing

    // The same plan as the analyser's (FFTW finds it in the wisdom just measured).
    double* in = fftw_alloc_real(n);
    fftw_complex* out = fftw_alloc_complex(n / 2 + 1);
    fftw_plan plan = fftw_plan_dft_r2c_1d(int(n), in, out, FFTW_MEASURE);
    std::copy(codes.begin(), codes.end(), in);

    double bare = 0, whole = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        fftw_execute(plan);
        benchmark::DoNotOptimize(out[1][0]);
        const double t1 = ThreadSeconds();
        analyzer.Analyse(codes);
        analyzer.SpectrumDb(spectrum);
        benchmark::DoNotOptimize(analyzer.Metrics().sinadDb.value);
        benchmark::DoNotOptimize(spectrum.data());
        const double t2 = ThreadSeconds();
        const double analysis = t2 - t1;
        bare += t1 - t0;
        whole += analysis;
        state.SetIterationTime(analysis);
    }
    state.counters["r2c_us"] = 1e6 * bare / double(state.iterations());
    state.counters["ratio_to_r2c"] = whole / bare;
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
}

// A restart: the wisdom file holds the plan, the process has none in memory yet.
void FirstBlockFromWisdom(benchmark::State& state)
{
    const auto n = std::size_t(state.range(0));
    const auto codes = NoisySine(n, 1001.3, 7);
    QTemporaryDir dir;
    const std::string file = dir.filePath(QStringLiteral("fftw-wisdom")).toStdString();
    RealFft::SetWisdomFile(file);
    SpectrumAnalyzer().Analyse(codes);   // measures and saves the plan
    for (auto _ : state) {
        fftw_forget_wisdom();
        RealFft::SetWisdomFile(file);
        SpectrumAnalyzer analyzer;
        analyzer.Analyse(codes);
        benchmark::DoNotOptimize(analyzer.Metrics().sinadDb.value);
    }
    RealFft::SetWisdomFile({});
}

} // namespace

// Arguments: block length, averaging count.
BENCHMARK(SpectrumWithMetrics)->Args({8192, 1})->Args({32768, 1})->Args({8192, 16})
    ->UseManualTime()->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(FirstBlockFromWisdom)->Arg(8192)->Arg(32768)->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
