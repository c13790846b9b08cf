#pragma once
// One tracking sample: a second client sets the master's frequency; the sample ends when the
// slave's rigctld replies to the write of that frequency. The slave's write commands in between
// are the radio's own share of the time; the rest is what the follower (the program, or a shell
// loop) adds.

#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "CommandCountingProxy.h"
#include "RigctldPeer.h"

namespace Bench {

struct FollowSample {
    double latencyMs = 0;
    double slaveWritesMs = 0;  // the slave rigctld's time for the writes that set the frequency

    double overheadMs() const { return latencyMs - slaveWritesMs; }
};

class FollowProbe {
public:
    // `slaveWire` is the proxy in front of the slave's rigctld that the follower writes through;
    // `vfoSwitch`: the follower reaches the slave's VFO B by switching there and back.
    FollowProbe(OmniRig::Testing::RigctldPeer& master,
                const OmniRig::Testing::CommandCountingProxy& slaveWire, bool vfoSwitch,
                int pollMs);

    // One sample at a random moment within the next poll interval; throws when the slave does
    // not follow within seconds.
    FollowSample sample();
    std::vector<FollowSample> samples(int count);
    // A dial turned: the master steps 100 Hz up at this pace, each step a sample.
    std::vector<FollowSample> tuning(int steps, std::chrono::milliseconds every);

private:
    FollowSample follow(int64_t frequency);

    OmniRig::Testing::RigctldPeer& master_;
    const OmniRig::Testing::CommandCountingProxy& slaveWire_;
    bool vfoSwitch_;
    int pollMs_;
    std::mt19937 random_{20240601};
    int64_t last_ = 0;
};

}  // namespace Bench
