#pragma once
// The thread that owns one rig's Hamlib handle. It opens the link (again, with back-off, after
// a failure), applies the client's writes in order, polls the radio, publishes what it read and
// raises OnParamsChange and OnStatusChange for what changed.

#include <array>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>

#include "EventHub.h"
#include "RigConfig.h"
#include "RigLink.h"
#include "RigMailbox.h"

namespace OmniRig {

class RigWorker {
public:
    static constexpr std::chrono::milliseconds kFirstRetry{250};
    // Split, RIT and the VFO that is not in use change seldom, and mostly while the operator is
    // at the radio: they are read on every poll within this time of a change, else this often.
    // The VFO, its frequency and mode and PTT are read on every poll.
    static constexpr std::chrono::milliseconds kSlowStateInterval{1000};
    static constexpr std::chrono::milliseconds kLastRetry{4000};

    RigWorker(int rigNumber, RigConfig config, RigMailbox& mailbox, std::shared_ptr<EventHub> hub);
    // Stops the thread and waits for it: at most one radio call's time-out and a close.
    ~RigWorker();
    RigWorker(const RigWorker&) = delete;
    RigWorker& operator=(const RigWorker&) = delete;

private:
    using Clock = RigMailbox::Clock;

    void run();
    bool connect();
    bool applyWrites();
    // What one poll read successfully.
    struct PollReads {
        std::array<bool, 2> freq{false, false};
        std::array<bool, 2> mode{false, false};
    };
    bool poll();
    // Each reads into `state`; false when the link broke or a stop is pending.
    bool readFrequency(RigState& state, int32_t vfo, bool other, PollReads& reads);
    bool readMode(RigState& state, int32_t vfo, bool other, PollReads& reads);
    bool readSwitch(RigState& state, RigLink::Read read);
    // Closes the link after a fault and publishes the status it leads to.
    void linkLost(int code);
    void setStatus(const RigStatus& status);
    void publish(const RigState& state, const RigStatus& status);
    // Waits out the back-off, dropping the writes that arrive meanwhile: they cannot reach
    // the radio.
    void rest(std::chrono::milliseconds pause);
    // Handles one call's result; false when the link is broken or a stop is pending.
    bool handled(int code, RigLink::Read read);
    bool handled(int code);

    int number_;
    RigConfig config_;
    RigMailbox& mailbox_;
    std::shared_ptr<EventHub> hub_;
    std::unique_ptr<RigLink> link_;

    // What the radio is now, as far as known; `sure_` marks the frequencies and modes that it
    // reported or that were written since with no change seen behind the program's back, the
    // only ones a write may be dropped against.
    RigState known_;
    std::array<bool, 2> sureFreq_{false, false};
    std::array<bool, 2> sureMode_{false, false};
    RigState reported_;
    std::chrono::milliseconds retry_ = kFirstRetry;
    Clock::time_point nextPoll_{};
    // The last poll that read everything (none yet since the link opened), and the last change
    // the poll saw or a write made.
    std::optional<Clock::time_point> lastFullPoll_;
    Clock::time_point lastChange_{};
    // Whether Hamlib's cache, which the open filled, has been set to expire at once.
    bool cacheExpired_ = false;

    std::thread thread_;
};

}  // namespace OmniRig
