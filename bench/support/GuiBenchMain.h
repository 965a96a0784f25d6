#pragma once
// main() of the benchmark programs that lay out or paint documents: fonts need a GUI application
// object, offscreen unless the caller chose a platform.
#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace kvbench {

inline int runGuiBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace kvbench
