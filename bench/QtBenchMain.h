#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

// A benchmark program's main(): windows on the offscreen platform unless
// another is asked for, then every benchmark the command line selects.
inline int RunQtBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
