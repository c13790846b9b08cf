// How soon tracking is back after the master's rig server restarts: its rigctld is killed while
// tracking runs, stays away 1 to 2 s and starts again; each figure is over 12 such rounds, from
// the moment the new rigctld answers to the slave's write of the master's frequency.

#include <benchmark/benchmark.h>

#include <random>
#include <thread>

#include "BenchWindow.h"
#include "CommandCountingProxy.h"
#include "Figures.h"
#include "FollowProbe.h"
#include "Percentile.h"
#include "RigctldPeer.h"

using namespace Bench;
using OmniRig::Testing::CommandCountingProxy;
using OmniRig::Testing::RigctldPeer;

namespace {

constexpr int kRounds = 12;
// What a Dummy rig tunes to when its rigctld starts.
constexpr int64_t kDummyStartHz = 145'000'000;

double healMs(RigctldPeer& master, const CommandCountingProxy& slaveWire, std::mt19937& random) {
    master.kill();
    // The outage's length is the experiment's input, not a wait for anything.
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::uniform_int_distribution<int>(1000, 2000)(random)));
    const size_t from = static_cast<size_t>(slaveWire.total());
    master.restart();
    const auto answered = CommandCountingProxy::Clock::now();
    std::optional<CommandCountingProxy::Clock::time_point> written;
    const bool healed = slaveWire.waitForExchanges(
        [&](const CommandCountingProxy::Exchanges& seen) {
            for (size_t i = from; i < seen.size(); ++i) {
                if (seen[i].name == "set_freq" && seen[i].replied &&
                    seen[i].lastNumber() == kDummyStartHz) {
                    written = seen[i].replied;
                    return true;
                }
            }
            return false;
        },
        std::chrono::seconds(15));
    if (!healed) {
        throw std::runtime_error("tracking did not come back after the restart");
    }
    return std::chrono::duration<double, std::milli>(*written - answered).count();
}

void BM_LinkHeals(benchmark::State& state) {
    try {
        RigctldPeer master;
        RigctldPeer slave;
        CommandCountingProxy slaveWire(slave.port());
        for (auto _ : state) {
            BenchWindow window(
                BenchWindow::trackingSettings(master.address(), slaveWire.address(), 200, 'A'));
            if (!window.waitBothOnline()) {
                throw std::runtime_error("the rigs did not come on-line");
            }
            std::vector<double> heals;
            BenchWindow::drive([&] {
                std::mt19937 random(20261208);
                FollowProbe probe(master, slaveWire, false, 200);
                for (int round = 0; round < kRounds; ++round) {
                    probe.sample();  // the slave away from the Dummy's start frequency
                    heals.push_back(healMs(master, slaveWire, random));
                }
            });
            record({"link heals after a 1-2 s restart: median", percentile(heals, 0.5), "ms",
                    std::nullopt});
            record(
                {"link heals after a 1-2 s restart: maximum", percentile(heals, 1.0), "ms", 500.0});
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_LinkHeals)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
