#pragma once
// The thread that owns one rig's Hamlib handle. It opens the link (again, with back-off, after
// a failure), applies the client's writes in order, polls the radio, publishes what it read and
// raises OnParamsChange and OnStatusChange for what changed.

#include <array>
#include <chrono>
#include <memory>
#include <thread>

#include "EventHub.h"
#include "RigConfig.h"
#include "RigLink.h"
#include "RigMailbox.h"

namespace OmniRig {

class RigWorker {
public:
    static constexpr std::chrono::milliseconds kFirstRetry{250};
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
    bool poll();
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

    std::thread thread_;
};

}  // namespace OmniRig
