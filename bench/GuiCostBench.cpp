// The window thread's cost of one OnParamsChange with every bit set: the handler, both panels'
// updates and the tracking step with its writes, on the offscreen platform, with the Hamlib rig
// server on its two Dummy rigs. The LED's immediate repaint is counted in the handler; the
// deferred repaints of the labels run after it and are reported beside it.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTest>
#include <chrono>
#include <vector>

#include "BenchWindow.h"
#include "Figures.h"
#include "ParamBits.h"
#include "Percentile.h"

using namespace Bench;
using Clock = std::chrono::steady_clock;

namespace {

void BM_ParamsChangeOnTheWindowThread(benchmark::State& state) {
    const char slaveVfo = state.range(0) != 0 ? 'B' : 'A';
    BenchWindow window(
        "[DIVIZURE]\nTRACK=TRUE\nMASTER=0\nSLAVE=1\nSLAVEVFO=" + std::string(1, slaveVfo) + "\n");
    if (!window.waitBothOnline()) {
        state.SkipWithError("the Dummy rigs did not come on-line");
        return;
    }
    TForm1& form = window.form();
    std::vector<double> micros;
    std::vector<double> withPaint;
    auto since = [](Clock::time_point start) {
        return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    };
    for (auto _ : state) {
        const auto start = Clock::now();
        form.RigServerParamsChange(form.RigServer.get(), 1, OmniRig::ALL_PARAMS);
        micros.push_back(since(start));
        state.SetIterationTime(micros.back() / 1e6);
        QCoreApplication::processEvents();
        withPaint.push_back(since(start));
    }
    const std::string name = std::string("window thread, OnParamsChange with all bits, ") +
                             (slaveVfo == 'B' ? "stamp with VFO switch" : "stamp on same VFO");
    record({name + ": median", percentile(micros, 0.5), "us", 50.0});
    record({name + ": p95", percentile(micros, 0.95), "us", std::nullopt});
    // What the window's thread spends in all: the handler and the paint it leaves for later.
    record({name + ", with the paint after it: median", percentile(withPaint, 0.5), "us",
            std::nullopt});
}
BENCHMARK(BM_ParamsChangeOnTheWindowThread)
    ->ArgName("vfo_switch")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(5000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
