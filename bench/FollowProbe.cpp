#include "FollowProbe.h"

#include <stdexcept>
#include <string>
#include <thread>

namespace Bench {

using namespace std::chrono_literals;
using Clock = OmniRig::Testing::CommandCountingProxy::Clock;

namespace {

constexpr auto kFollowTimeout = 10s;

double millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

}  // namespace

FollowProbe::FollowProbe(OmniRig::Testing::RigctldPeer& master,
                         const OmniRig::Testing::CommandCountingProxy& slaveWire, bool vfoSwitch,
                         int pollMs)
    : master_(master), slaveWire_(slaveWire), vfoSwitch_(vfoSwitch), pollMs_(pollMs) {}

std::vector<FollowSample> FollowProbe::samples(int count) {
    std::vector<FollowSample> list;
    for (int i = 0; i < count; ++i) {
        list.push_back(sample());
    }
    return list;
}

std::vector<FollowSample> FollowProbe::tuning(int steps, std::chrono::milliseconds every) {
    std::vector<FollowSample> list;
    int64_t frequency = 14'000'000;
    for (int i = 0; i < steps; ++i) {
        const auto start = Clock::now();
        frequency += 100;
        list.push_back(follow(frequency));
        // The dial's pace is the experiment's input, not a wait for anything.
        std::this_thread::sleep_until(start + every);
    }
    return list;
}

FollowSample FollowProbe::sample() {
    // The change lands at a random phase of the follower's poll: this pause is the experiment's
    // input, not a wait for anything.
    std::uniform_int_distribution<int> pause(0, pollMs_ - 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(pause(random_)));
    // 7.000 to 7.300 MHz in 10 Hz steps, each different from the last.
    std::uniform_int_distribution<int64_t> step(0, 30'000);
    int64_t frequency = last_;
    while (frequency == last_) {
        frequency = 7'000'000 + 10 * step(random_);
    }
    last_ = frequency;
    return follow(frequency);
}

FollowSample FollowProbe::follow(int64_t frequency) {
    const size_t from = static_cast<size_t>(slaveWire_.total());
    if (master_.command("F " + std::to_string(frequency)).code != 0) {
        throw std::runtime_error("the master's rigctld refused the frequency");
    }
    // From the master's reply on, the master reports the new frequency.
    const auto set = Clock::now();
    std::optional<Clock::time_point> arrived;
    const bool followed = slaveWire_.waitForExchanges(
        [&](const OmniRig::Testing::CommandCountingProxy::Exchanges& seen) {
            for (size_t i = from; i < seen.size(); ++i) {
                if (seen[i].name == "set_freq" && seen[i].replied &&
                    seen[i].lastNumber() == frequency) {
                    arrived = seen[i].replied;
                    return true;
                }
            }
            return false;
        },
        kFollowTimeout);
    if (!followed) {
        throw std::runtime_error("the slave did not follow to " + std::to_string(frequency));
    }
    FollowSample sample;
    sample.latencyMs = millis(*arrived - set);
    const auto seen = slaveWire_.exchanges();
    for (size_t i = from; i < seen.size(); ++i) {
        if (seen[i].isWrite() && seen[i].replied && *seen[i].replied <= *arrived) {
            sample.slaveWritesMs += millis(seen[i].took());
        }
    }
    if (vfoSwitch_) {
        // The next sample starts once the slave is back on its own VFO.
        const bool back = slaveWire_.waitForExchanges(
            [&](const OmniRig::Testing::CommandCountingProxy::Exchanges& all) {
                for (size_t i = from; i < all.size(); ++i) {
                    if (all[i].name == "set_vfo" && all[i].sent >= *arrived && all[i].replied) {
                        return true;
                    }
                }
                return false;
            },
            kFollowTimeout);
        if (!back) {
            throw std::runtime_error("the slave did not return to its VFO");
        }
    }
    return sample;
}

}  // namespace Bench
