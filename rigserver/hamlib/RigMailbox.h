#pragma once
// What a rig's worker thread and the client's thread share: the state the worker last
// published, the writes the client made since, the status, and the worker's wake-up. Reads on
// the client's side take a short lock and never wait for the radio.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "RigAbilities.h"
#include "RigConfig.h"
#include "RigState.h"
#include "RigStatus.h"

namespace OmniRig {

class RigMailbox {
public:
    using Clock = std::chrono::steady_clock;

    RigMailbox(std::string typeText, RigStatus status)
        : status_(std::move(status)), typeText_(std::move(typeText)) {}

    // The client's side.

    // The published state with the client's writes applied that the radio has not yet shown.
    RigState view() const;
    RigStatus status() const;
    std::string typeText() const;
    // Adds a write, acting on the VFO current in the view, to the open batch; true when it
    // opened the batch, which the caller must then hand over with flush(). A run of writes the
    // worker has not taken yet gives way to a run of the same shape right after it.
    bool queue(RigWrite::Kind kind, int32_t value);
    // Why the radio cannot carry out such a write, as its link last found it; nothing when it
    // can, or while it has not been reached.
    std::optional<std::string> refusal(RigWrite::Kind kind, int32_t value) const;
    void flush();
    void reconfigure(RigConfig config, std::string typeText);
    void stop();

    // The worker's side.

    bool stopping() const;
    bool reconfigured() const;
    std::optional<RigConfig> takeConfig();
    // The writes handed over since the last call, oldest first. They stay in the client's view
    // until the next publish.
    std::vector<RigWrite> takeWrites();
    // Forgets the writes handed over: they cannot reach the radio.
    void dropWrites();
    // Replaces the published state and status; writes taken so far leave the view. Returns the
    // status that was published before.
    RigStatus publish(const RigState& state, const RigStatus& status);
    // What the radio can do, found when its link opened or corrected since.
    void publishAbilities(const RigAbilities& abilities);
    // Sleeps until the deadline, or until writes arrive, the settings change or a stop.
    void waitUntil(Clock::time_point deadline);

private:
    // The longest run dropRepeatedRun() looks for: a tracking step's four writes.
    static constexpr size_t kLongestRun = 4;

    void updateView();
    void dropRepeatedRun();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    RigState published_;
    RigState view_;  // published_ with every write in overlay_ applied
    RigStatus status_;
    std::string typeText_;
    // overlay_[0, taken_) are with the worker, [taken_, flushed_) handed over, the rest open.
    std::vector<RigWrite> overlay_;
    size_t taken_ = 0;
    size_t flushed_ = 0;
    std::optional<RigAbilities> abilities_;
    std::optional<RigConfig> newConfig_;
    bool stop_ = false;
};

}  // namespace OmniRig
