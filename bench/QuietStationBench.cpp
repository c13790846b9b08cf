// What the poll asks of each radio link on a quiet station: the window tracking rig 1 into rig
// 2, both on rigctld behind counting proxies, nothing changing, at the default poll interval.

#include <benchmark/benchmark.h>

#include <QTest>
#include <string>

#include "BenchWindow.h"
#include "CommandCountingProxy.h"
#include "Figures.h"
#include "RigConfig.h"
#include "RigctldPeer.h"

using namespace Bench;
using OmniRig::Testing::CommandCountingProxy;
using OmniRig::Testing::RigctldPeer;

namespace {

constexpr int kSettleMs = 3000;   // the start-up stamp, its echo, and the first full polls
constexpr int kWatchMs = 10'000;  // ten slow-state intervals

void recordRig(const std::string& rig, const CommandCountingProxy& proxy, double seconds) {
    recordRates("quiet station, " + rig, proxy.commands(), seconds, std::nullopt);
    record(
        {"quiet station, " + rig + ": radio writes", static_cast<double>(proxy.writes()), "", 0.0});
}

void BM_QuietStationCommands(benchmark::State& state) {
    RigctldPeer peer1;
    RigctldPeer peer2;
    CommandCountingProxy proxy1(peer1.port());
    CommandCountingProxy proxy2(peer2.port());
    BenchWindow window(BenchWindow::trackingSettings(proxy1.address(), proxy2.address(),
                                                     OmniRig::RigConfig::kDefaultPollMs, 'A'));
    if (!window.waitBothOnline()) {
        state.SkipWithError("the rigs did not come on-line");
        return;
    }
    QTest::qWait(kSettleMs);
    for (auto _ : state) {
        proxy1.reset();
        proxy2.reset();
        QTest::qWait(kWatchMs);
    }
    const double seconds = kWatchMs / 1000.0;
    recordRig("rig 1 (master)", proxy1, seconds);
    recordRig("rig 2 (slave)", proxy2, seconds);
}
BENCHMARK(BM_QuietStationCommands)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
