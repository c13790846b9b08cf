// Figures for the Hamlib rig server, against rigctld peers on loopback ports.
//   hamlib_bench                 every figure
//   hamlib_bench --benchmark_filter=TimesOut   the window's thread while a rig times out

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "CommandCountingProxy.h"
#include "Figures.h"
#include "RigLink.h"
#include "RigStatus.h"
#include "RigctldPeer.h"
#include "ServerHarness.h"

using namespace OmniRig;
using namespace OmniRig::Testing;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using Bench::record;

namespace {

std::string settingsFor(const std::string& address, int pollMs) {
    return "[RIG1]\nMODEL=2\nPORT=" + address + "\nPOLL=" + std::to_string(pollMs) +
           "\n[RIG2]\nMODEL=0\n";
}

double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// Call durations in power-of-two buckets of nanoseconds: a long run has millions of calls.
struct Durations {
    std::array<uint64_t, 64> buckets{};
    uint64_t calls = 0;
    Clock::duration longest{};

    void add(Clock::duration d) {
        const auto ns = static_cast<uint64_t>(std::max<int64_t>(1, d.count()));
        ++buckets[63 - static_cast<size_t>(__builtin_clzll(ns))];
        ++calls;
        longest = std::max(longest, d);
    }
    // The upper edge of the bucket holding the given fraction of calls, in microseconds.
    double percentileMicros(double fraction) const {
        uint64_t seen = 0;
        for (size_t i = 0; i < buckets.size(); ++i) {
            seen += buckets[i];
            if (static_cast<double>(seen) >= fraction * static_cast<double>(calls)) {
                return static_cast<double>(uint64_t{2} << i) / 1000.0;
            }
        }
        return micros(longest);
    }
};

// The calls a parameter-change handler and a tracking step make, each timed on its own.
void handlerCalls(TOmniRigX& client, Durations& durations) {
    auto timed = [&](auto&& call) {
        const auto start = Clock::now();
        call();
        durations.add(Clock::now() - start);
    };
    std::optional<RigObject> rig;
    timed([&] { rig.emplace(client.RigObject1()); });
    timed([&] { benchmark::DoNotOptimize(rig->TypeText()); });
    timed([&] { benchmark::DoNotOptimize(rig->StatusCode()); });
    timed([&] { benchmark::DoNotOptimize(rig->StatusText()); });
    timed([&] { benchmark::DoNotOptimize(rig->Frequency()); });
    timed([&] { benchmark::DoNotOptimize(rig->FrequencyA()); });
    timed([&] { benchmark::DoNotOptimize(rig->FrequencyB()); });
    timed([&] { benchmark::DoNotOptimize(rig->ModeBits()); });
    timed([&] { benchmark::DoNotOptimize(rig->SplitBits()); });
    timed([&] { rig->SetVfoBits(VFOB); });
    timed([&] { rig->SetFrequency(7'012'340); });
    timed([&] { rig->SetModeBits(USB); });
    timed([&] { rig->SetVfoBits(VFOA); });
}

// The longest single call on the window's thread while rig 1's peer hangs and every radio call
// of its worker runs into the time-out (argument 1), and against a healthy rig for comparison
// (argument 0): what is left over there is the machine's scheduling, not the rig server.
void BM_GuiCallWhileARigTimesOut(benchmark::State& state) {
    const bool hung = state.range(0) != 0;
    RigctldPeer peer;
    CommandCountingProxy proxy(peer.port());
    ServerHarness h(settingsFor(proxy.address(), RigConfig::kDefaultPollMs).c_str());
    if (!h.waitForStatus(1, ST_ONLINE)) {
        state.SkipWithError("rig 1 did not come on-line");
        return;
    }
    proxy.setStalled(hung);
    const int connectionsBefore = proxy.connectionsAccepted();
    Durations durations;
    for (auto _ : state) {
        handlerCalls(h.client(), durations);
        const auto start = Clock::now();
        h.pump().pumpPending();  // the events and the write hand-over, as the loop runs them
        durations.add(Clock::now() - start);
    }
    state.counters["longest_call_us"] = micros(durations.longest);
    state.counters["p99.99_call_us"] = durations.percentileMicros(0.9999);
    state.counters["reopens_meanwhile"] = proxy.connectionsAccepted() - connectionsBefore;
    state.counters["not_responding"] = h.rig(1).StatusCode() == ST_NOTRESPONDING;
    record({std::string("rig server, longest call on the window's thread, ") +
                (hung ? "rig timing out" : "healthy rig"),
            micros(durations.longest) / 1000.0, "ms", std::nullopt});
}
BENCHMARK(BM_GuiCallWhileARigTimesOut)->Arg(1)->Arg(0)->MinTime(3.0)->Unit(benchmark::kMicrosecond);

// How long the server's destruction takes while its worker waits in a call that will time out.
void BM_ShutdownWhileARigTimesOut(benchmark::State& state) {
    RigctldPeer peer;
    Clock::duration longest{};
    for (auto _ : state) {
        CommandCountingProxy proxy(peer.port());
        auto h = std::make_unique<ServerHarness>(settingsFor(proxy.address(), 200).c_str());
        if (!h->waitForStatus(1, ST_ONLINE)) {
            state.SkipWithError("rig 1 did not come on-line");
            return;
        }
        proxy.setStalled(true);
        // A fresh connection means the worker is inside rig_open, waiting for a reply.
        const int accepted = proxy.connectionsAccepted();
        h->waitFor([&] { return proxy.connectionsAccepted() > accepted; }, 10s);
        const auto start = Clock::now();
        h.reset();
        const auto took = Clock::now() - start;
        longest = std::max(longest, took);
        state.SetIterationTime(std::chrono::duration<double>(took).count());
    }
    const auto bound = RigLink::kCommandTimeout + std::chrono::milliseconds(100);
    state.counters["longest_ms"] = micros(longest) / 1000.0;
    state.counters["bound_ms"] = static_cast<double>(bound.count());
    record({"rig server, shutdown while a rig times out: longest of 5", micros(longest) / 1000.0,
            "ms", static_cast<double>(bound.count())});
}
BENCHMARK(BM_ShutdownWhileARigTimesOut)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// One property read on the window's thread: the cached state, while the worker polls.
void BM_ClientRead(benchmark::State& state) {
    RigctldPeer peer;
    ServerHarness h(settingsFor(peer.address(), 50).c_str());
    if (!h.waitForStatus(1, ST_ONLINE)) {
        state.SkipWithError("rig 1 did not come on-line");
        return;
    }
    RigObject rig = h.client().RigObject1();
    for (auto _ : state) {
        benchmark::DoNotOptimize(rig.Frequency());
    }
}
BENCHMARK(BM_ClientRead);

// One frequency read from the radio by the worker: through rigctld (model 2) and from the
// in-process Dummy rig (model 1), which simulates a slow radio.
void BM_RadioRead(benchmark::State& state) {
    RigctldPeer peer;
    RigConfig config;
    config.model = static_cast<int>(state.range(0));
    config.port = config.model == 2 ? peer.address() : "";
    RigLink link(config);
    if (link.open() != RIG_OK) {
        state.SkipWithError("the link did not open");
        return;
    }
    int32_t hertz = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(link.readFrequency(0, hertz));
    }
}
BENCHMARK(BM_RadioRead)->Arg(2)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
