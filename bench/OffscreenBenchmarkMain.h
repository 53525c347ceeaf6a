#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

// main() for benchmarks that draw widgets: an application on the offscreen platform
// (unless another one was chosen), then the registered benchmarks.
inline int RunOffscreenBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
