#pragma once
// main() of the benchmark programs that show screens or lay out documents: widgets and fonts need
// an application object, offscreen unless the caller chose a platform.
#include <QApplication>
#include <benchmark/benchmark.h>

namespace kvbench {

inline int runGuiBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace kvbench
