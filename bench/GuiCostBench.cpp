// The window thread's cost of one OnParamsChange with every bit set: the handler, both panels'
// updates and the tracking step with its writes, on the offscreen platform, with the Hamlib rig
// server on its two Dummy rigs. The LED's immediate repaint is counted in the handler; the
// deferred repaints of the labels run after it and are reported beside it. And how long the
// window's thread is held by a drag of the offset track bar, which saves the settings at every
// step.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
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

void BM_OffsetDragWithSaves(benchmark::State& state) {
    BenchWindow window("[DIVIZURE]\nSHIFT=TRUE\n");
    TForm1& form = window.form();
    std::vector<double> millis;
    int position = 0;
    for (auto _ : state) {
        // One drag across the bar and back, a step at a time as the mouse moves it.
        for (int step = 0; step < 200; ++step) {
            position = step < 100 ? step * 10 : (200 - step) * 10;
            const auto start = Clock::now();
            form.OffsetTrack->SetPosition(position);
            QCoreApplication::processEvents();
            millis.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
    }
    const std::string name = "window thread, one step of an offset drag with its save";
    record({name + ": longest", *std::max_element(millis.begin(), millis.end()), "ms", 16.0});
    record({name + ": median", percentile(millis, 0.5), "ms", std::nullopt});
}
BENCHMARK(BM_OffsetDragWithSaves)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
