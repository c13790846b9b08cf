// The window tracking an emulated IC-7300 (rig 1, CI-V) into an emulated TS-590S (rig 2, Kenwood
// CAT), both opened by Hamlib's real backends at the default poll: the radio commands each link
// carries on a quiet station, and how soon the slave follows a dial turned in 100 Hz steps.

#include <benchmark/benchmark.h>

#include <QTest>
#include <algorithm>
#include <map>
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

std::string radioSettings(const RadioEmulator& master, const RadioEmulator& slave) {
    return "[RIG1]\nMODEL=3073\nPORT=" + master.port() +
           "\n[RIG2]\nMODEL=2031\nPORT=" + slave.port() +
           "\n[DIVIZURE]\nTRACK=TRUE\nMASTER=0\nSLAVE=1\nSLAVEVFO=A\n";
}

// Commands per second, all and by their first bytes (the CI-V command, the Kenwood command).
void recordRadio(const std::string& rig, const RadioEmulator& radio, double seconds,
                 size_t nameLength, double target) {
    std::map<std::string, int> byName;
    const auto received = radio.received();
    for (const ReceivedCommand& c : received) {
        ++byName[c.text.substr(0, nameLength)];
    }
    record({"quiet station, " + rig + ": radio commands", received.size() / seconds, "/s", target});
    for (const auto& [name, count] : byName) {
        record({"quiet station, " + rig + ":   " + name, count / seconds, "/s", std::nullopt});
    }
}

void BM_QuietStationRadios(benchmark::State& state) {
    IcomEmulator icom;
    KenwoodEmulator kenwood;
    BenchWindow window(radioSettings(icom, kenwood));
    if (!window.waitBothOnline()) {
        state.SkipWithError("the radios did not come on-line");
        return;
    }
    QTest::qWait(kSettleMs);
    for (auto _ : state) {
        icom.clearReceived();
        kenwood.clearReceived();
        QTest::qWait(kWatchMs);
    }
    const double seconds = kWatchMs / 1000.0;
    // Two thirds of what the poll carried while it read everything on every poll: 24 CI-V
    // frames a second on the IC-7300, 17.8 commands on the TS-590S.
    recordRadio("IC-7300 (master)", icom, seconds, 5, 16.0);
    recordRadio("TS-590S (slave)", kenwood, seconds, 2, 11.8);
}
BENCHMARK(BM_QuietStationRadios)->Iterations(1)->Unit(benchmark::kSecond);

// The IC-7300's dial turned 100 Hz every 100 ms for 3 s; each sample runs from the turn to the
// TS-590S receiving the frequency.
void BM_TuningRadios(benchmark::State& state) {
    IcomEmulator icom;
    KenwoodEmulator kenwood;
    BenchWindow window(radioSettings(icom, kenwood));
    if (!window.waitBothOnline()) {
        state.SkipWithError("the radios did not come on-line");
        return;
    }
    QTest::qWait(kSettleMs);
    std::vector<double> latency;
    for (auto _ : state) {
        kenwood.clearReceived();
        for (int step = 1; step <= 30; ++step) {
            const int64_t hz = 14'100'000 + 100 * step;
            const auto turned = std::chrono::steady_clock::now();
            icom.turnKnob(hz);
            const std::string write =
                "FA" + std::string(11 - std::to_string(hz).size(), '0') + std::to_string(hz) + ";";
            auto arrived = [&]() -> std::optional<std::chrono::steady_clock::time_point> {
                for (const ReceivedCommand& c : kenwood.received()) {
                    if (c.text == write) {
                        return c.at;
                    }
                }
                return std::nullopt;
            };
            if (!QTest::qWaitFor([&] { return arrived().has_value(); }, 5'000)) {
                state.SkipWithError("the slave did not follow");
                return;
            }
            latency.push_back(
                std::chrono::duration<double, std::milli>(*arrived() - turned).count());
            // The dial's pace is the experiment's input, not a wait for anything.
            QTest::qWait(static_cast<int>(std::max(0.0, 100 - latency.back())));
        }
    }
    record({"tuning, IC-7300 into TS-590S: latency median", percentile(latency, 0.5), "ms", 60.0});
    record({"tuning, IC-7300 into TS-590S: latency p95", percentile(latency, 0.95), "ms",
            std::nullopt});
}
BENCHMARK(BM_TuningRadios)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
