// The window tracking an emulated IC-7300 (rig 1, CI-V) into an emulated TS-590S (rig 2, Kenwood
// CAT), both opened by Hamlib's real backends at the default poll: the radio commands each link
// carries on a quiet station, then how soon the slave follows a dial turned in 100 Hz steps.

#include <benchmark/benchmark.h>

#include <QTest>
#include <algorithm>
#include <cstdio>
#include <string>

#include "BenchWindow.h"
#include "Figures.h"
#include "IcomEmulator.h"
#include "KenwoodEmulator.h"
#include "Percentile.h"

using namespace Bench;
using namespace OmniRig::Testing;

namespace {

constexpr int kSettleMs = 3000;
constexpr int kWatchMs = 10'000;

// What the radio received over the watch, each command by its first `length` characters (the
// CI-V command and sub-command, the Kenwood command).
std::vector<std::string> commands(const RadioEmulator& radio, size_t length) {
    std::vector<std::string> names;
    for (const ReceivedCommand& c : radio.received()) {
        names.push_back(c.text.substr(0, length));
    }
    return names;
}

// The time from the IC-7300's dial reaching `hz` to the TS-590S receiving it; none when it
// does not within seconds.
std::optional<double> follows(IcomEmulator& master, const KenwoodEmulator& slave, int64_t hz) {
    char write[32];
    std::snprintf(write, sizeof write, "FA%011lld;", static_cast<long long>(hz));
    const auto turned = std::chrono::steady_clock::now();
    master.turnKnob(hz);
    std::optional<std::chrono::steady_clock::time_point> arrived;
    const bool followed = QTest::qWaitFor(
        [&] {
            for (const ReceivedCommand& c : slave.received()) {
                arrived = c.text == write ? std::optional(c.at) : arrived;
            }
            return arrived.has_value();
        },
        5'000);
    if (!followed) {
        return std::nullopt;
    }
    return std::chrono::duration<double, std::milli>(*arrived - turned).count();
}

void BM_Radios(benchmark::State& state) {
    IcomEmulator icom;
    KenwoodEmulator kenwood;
    BenchWindow window("[RIG1]\nMODEL=3073\nPORT=" + icom.port() +
                       "\n[RIG2]\nMODEL=2031\nPORT=" + kenwood.port() +
                       "\n[DIVIZURE]\nTRACK=TRUE\nMASTER=0\nSLAVE=1\nSLAVEVFO=A\n");
    if (!window.waitBothOnline()) {
        state.SkipWithError("the radios did not come on-line");
        return;
    }
    QTest::qWait(kSettleMs);
    std::vector<double> latency;
    for (auto _ : state) {
        icom.clearReceived();
        kenwood.clearReceived();
        QTest::qWait(kWatchMs);
        // Two thirds of what the poll carried while it read everything on every poll: 24 CI-V
        // frames a second on the IC-7300, 17.8 commands on the TS-590S.
        recordRates("quiet station, IC-7300 (master)", commands(icom, 5), kWatchMs / 1000.0,
                    24 * 2 / 3.0);
        recordRates("quiet station, TS-590S (slave)", commands(kenwood, 2), kWatchMs / 1000.0,
                    17.8 * 2 / 3);

        for (int step = 1; step <= 30; ++step) {
            const auto ms = follows(icom, kenwood, 14'100'000 + 100 * step);
            if (!ms) {
                state.SkipWithError("the slave did not follow");
                return;
            }
            latency.push_back(*ms);
            // The dial's pace is the experiment's input, not a wait for anything.
            QTest::qWait(static_cast<int>(std::max(0.0, 100 - *ms)));
        }
    }
    record({"tuning, IC-7300 into TS-590S: latency median", percentile(latency, 0.5), "ms", 60.0});
    record({"tuning, IC-7300 into TS-590S: latency p95", percentile(latency, 0.95), "ms",
            std::nullopt});
}
BENCHMARK(BM_Radios)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
