#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

// main() for benchmarks that create widgets: a QApplication on the offscreen platform.
#define VORDANE_WIDGET_BENCHMARK_MAIN()                                                                                \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        QApplication app(argc, argv);                                                                                  \
        benchmark::Initialize(&argc, argv);                                                                            \
        benchmark::RunSpecifiedBenchmarks();                                                                           \
        benchmark::Shutdown();                                                                                         \
        return 0;                                                                                                      \
    }
