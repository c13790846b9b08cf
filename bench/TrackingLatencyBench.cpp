// How fast the slave follows the master, end to end: the window on the Hamlib rig server with
// two rigctld peers, tracking on, and, in the same run on two peers of its own, a shell loop of
// rigctl calls doing the same job. Each figure is the median or 95th percentile of 200 changes of
// the master's frequency at random moments.

#include <benchmark/benchmark.h>

#include <future>
#include <string>

#include "BenchWindow.h"
#include "ChildProcess.h"
#include "CommandCountingProxy.h"
#include "Figures.h"
#include "FollowProbe.h"
#include "Percentile.h"
#include "RigctldPeer.h"

using namespace Bench;
using OmniRig::Testing::CommandCountingProxy;
using OmniRig::Testing::RigctldPeer;

namespace {

constexpr int kSamples = 200;

void recordSamples(const std::string& prefix, const std::vector<FollowSample>& samples,
                   std::optional<double> medianTarget, std::optional<double> p95Target) {
    std::vector<double> latency;
    std::vector<double> writes;
    std::vector<double> overhead;
    for (const FollowSample& s : samples) {
        latency.push_back(s.latencyMs);
        writes.push_back(s.slaveWritesMs);
        overhead.push_back(s.overheadMs());
    }
    record({prefix + ": latency median", percentile(latency, 0.5), "ms", std::nullopt});
    record({prefix + ": latency p95", percentile(latency, 0.95), "ms", std::nullopt});
    record({prefix + ": slave rigctld's write time median", percentile(writes, 0.5), "ms",
            std::nullopt});
    record({prefix + ": overhead median", percentile(overhead, 0.5), "ms", medianTarget});
    record({prefix + ": overhead p95", percentile(overhead, 0.95), "ms", p95Target});
}

// The window follows, the samples driven beside its event loop.
std::vector<FollowSample> programFollows(RigctldPeer& master, const CommandCountingProxy& slaveWire,
                                         int pollMs, bool vfoSwitch, bool tuning = false) {
    BenchWindow window(BenchWindow::trackingSettings(master.address(), slaveWire.address(), pollMs,
                                                     vfoSwitch ? 'B' : 'A'));
    if (!window.waitBothOnline()) {
        throw std::runtime_error("the rigs did not come on-line");
    }
    std::vector<FollowSample> samples;
    BenchWindow::drive([&] {
        FollowProbe probe(master, slaveWire, vfoSwitch, pollMs);
        probe.sample();  // the start-up stamp is behind us
        samples =
            tuning ? probe.tuning(30, std::chrono::milliseconds(100)) : probe.samples(kSamples);
    });
    return samples;
}

std::vector<FollowSample> shellFollows(RigctldPeer& master, const CommandCountingProxy& slaveWire,
                                       int pollMs, bool vfoSwitch) {
    ChildProcess loop(ZR_BENCH_SOURCE_DIR "/rigctl-follow.sh",
                      {master.address(), slaveWire.address(), std::to_string(pollMs / 1000.0),
                       vfoSwitch ? "switch" : "same"});
    FollowProbe probe(master, slaveWire, vfoSwitch, pollMs);
    probe.sample();
    return probe.samples(kSamples);
}

void BM_TrackingLatency(benchmark::State& state) {
    const int pollMs = static_cast<int>(state.range(0));
    const bool vfoSwitch = state.range(1) != 0;
    const std::string setting = std::to_string(pollMs) + " ms poll, " +
                                (vfoSwitch ? "slave VFO switched" : "slave on its VFO");
    try {
        // The program and the shell loop follow side by side, each on a pair of its own, so
        // that the run takes minutes rather than a quarter of an hour; both mostly wait.
        RigctldPeer master;
        RigctldPeer slave;
        CommandCountingProxy slaveWire(slave.port());
        RigctldPeer shellMaster;
        RigctldPeer shellSlave;
        CommandCountingProxy shellSlaveWire(shellSlave.port());
        for (auto _ : state) {
            auto shell = std::async(std::launch::async, [&] {
                return shellFollows(shellMaster, shellSlaveWire, pollMs, vfoSwitch);
            });
            const auto program = programFollows(master, slaveWire, pollMs, vfoSwitch);
            recordSamples("tracking, program, " + setting, program, pollMs / 2.0 + 5,
                          pollMs + 10.0);
            recordSamples("tracking, rigctl shell loop, " + setting, shell.get(), std::nullopt,
                          std::nullopt);
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

// A dial turned on the master: 100 Hz every 100 ms for 3 s, at the default poll.
void BM_TuningLatency(benchmark::State& state) {
    try {
        RigctldPeer master;
        RigctldPeer slave;
        CommandCountingProxy slaveWire(slave.port());
        for (auto _ : state) {
            std::vector<double> latency;
            for (const FollowSample& s : programFollows(master, slaveWire, 200, false, true)) {
                latency.push_back(s.latencyMs);
            }
            record({"tuning, program, 200 ms poll: latency median", percentile(latency, 0.5), "ms",
                    60.0});
            record({"tuning, program, 200 ms poll: latency p95", percentile(latency, 0.95), "ms",
                    std::nullopt});
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_TuningLatency)->Iterations(1)->Unit(benchmark::kSecond);

BENCHMARK(BM_TrackingLatency)
    ->ArgNames({"poll_ms", "vfo_switch"})
    ->Args({200, 0})
    ->Args({200, 1})
    ->Args({50, 0})
    ->Args({50, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
