// Reading raw data files: the parse of a whole file's content (goal: at least 150 MB/s)
// and the read from disk with the parse, for a block of 8192 codes as the program saves it.
#include "BenchSignals.h"
#include "core/Numbers.h"
#include "core/TextFileGate.h"
#include "files/DataFileIo.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray RawFileContent(std::size_t n)
{
    QByteArray content;
    for (const double code : NoisySine(n, 1001.3, 7))
        content += FormatFixed(code, 6).toLatin1() + "\r\n";
    return content;
}

void ParseRawFile(benchmark::State& state)
{
    const QByteArray content = RawFileContent(std::size_t(state.range(0)));
    for (auto _ : state) {
        DataValues data = ReadDataValues(content);
        benchmark::DoNotOptimize(data.Values.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * content.size());
}

void ReadAndParseRawFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("block.dat"));
    const QByteArray content = RawFileContent(std::size_t(state.range(0)));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        state.SkipWithError("cannot write the file");
    file.close();
    for (auto _ : state) {
        const TextFile text = ReadTextFile(path, MaxRawFileBytes);
        DataValues data = ReadDataValues(*text.Content);
        benchmark::DoNotOptimize(data.Values.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * content.size());
}

} // namespace

BENCHMARK(ParseRawFile)->Arg(8192)->Arg(32767)->Unit(benchmark::kMicrosecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(ReadAndParseRawFile)->Arg(8192)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
