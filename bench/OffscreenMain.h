#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

// The main of a benchmark of the windows: an offscreen application around the benchmarks.
#define TAMARIN_OFFSCREEN_BENCHMARK_MAIN()                                                                             \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        QApplication app(argc, argv);                                                                                  \
        benchmark::Initialize(&argc, argv);                                                                            \
        benchmark::RunSpecifiedBenchmarks();                                                                           \
        return 0;                                                                                                      \
    }
