// The entry of every benchmark program here: Google Benchmark's table goes to the error stream,
// the figures with their targets to the output, so a script can show one and keep the other.
// A program that needs widgets gets one application on the offscreen platform first.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <memory>

#include "Figures.h"

#ifdef ZR_BENCH_WIDGETS
#include <QApplication>
#endif

int main(int argc, char** argv) {
#ifdef ZR_BENCH_WIDGETS
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::ConsoleReporter table(benchmark::ConsoleReporter::OO_Tabular);
    table.SetOutputStream(&std::cerr);
    table.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&table);
    benchmark::Shutdown();
    Bench::print(std::cout, Bench::figures());
    return 0;
}
