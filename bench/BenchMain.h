#pragma once

// main() of a benchmark program: the Qt application it needs, then the
// benchmarks.
#include <QApplication>
#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace arb::bench
{

template <typename Application> int RunBenchmarks(int argc, char **argv)
{
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// For benchmarks without widgets.
inline int RunCoreBenchmarks(int argc, char **argv)
{
    return RunBenchmarks<QCoreApplication>(argc, argv);
}

// For benchmarks that need widgets, on the offscreen platform unless another
// one is asked for.
inline int RunWidgetBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return RunBenchmarks<QApplication>(argc, argv);
}

} // namespace arb::bench
