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
#include "SharedRigctld.h"

namespace OmniRig {

class RigWorker {
public:
    // A link that went down is tried again this often for kQuickRetries: a rig server restarted
    // or a radio that blinked off is back at once. Then the pause doubles up to kLastRetry.
    static constexpr std::chrono::milliseconds kFirstRetry{250};
    static constexpr std::chrono::milliseconds kQuickRetries{10000};
    static constexpr std::chrono::milliseconds kLastRetry{4000};
    // The frequency is read on every poll, and the VFO with it when it changed. While it is
    // changing behind the program's back (a dial turning), it is read this often, and nothing
    // else in between, until it has been still for kTurningWindow; the link's own speed slows a
    // slow radio further.
    static constexpr std::chrono::milliseconds kTurningInterval{20};
    static constexpr std::chrono::milliseconds kTurningWindow{1000};
    // The VFO, mode and PTT are read once in this many poll intervals. Split, RIT and the VFO not
    // in use change seldom, mostly while the operator is at the radio: they are read with them
    // within this time of a change, else this often.
    static constexpr int kStateEveryPolls = 2;
    static constexpr std::chrono::milliseconds kSlowStateInterval{2000};
    // An optional read that fails this many polls in a row, while the frequency read answers,
    // is set aside for the link.
    static constexpr int kStrikes = 3;
    // Backends answer a VFO read from a status read of their own up to half a second old (the IF
    // of Kenwood CAT before Hamlib 5), so after a switch of the program's own it may name the VFO
    // it left: for this long the VFO it chose is taken as the truth.
    static constexpr std::chrono::milliseconds kOwnSwitchTrusted{600};
    // A network server that does not answer is shown not responding after this long, and its
    // link opened afresh after kBusyLimit: until then it may be busy with another client.
    static constexpr std::chrono::milliseconds kSilenceShown{1000};
    static constexpr std::chrono::milliseconds kBusyLimit{10000};
    // A shared rigctld opens the radio before it answers: a slow serial radio's open.
    static constexpr std::chrono::milliseconds kSharedStart{10000};

    RigWorker(int rigNumber, RigConfig config, RigMailbox& mailbox, std::shared_ptr<EventHub> hub);
    // Stops the thread and waits for it: at most one radio call's time-out and a close.
    ~RigWorker();
    RigWorker(const RigWorker&) = delete;
    RigWorker& operator=(const RigWorker&) = delete;

private:
    using Clock = RigMailbox::Clock;

    void run();
    bool connect();
    // Starts the rig's own rigctld where the rig is shared, unless it runs; false when it
    // cannot be (the status says why).
    bool startShared();
    // The settings the link opens: the radio's, or the shared rigctld's address.
    RigConfig linkConfig() const;
    std::string sharedNote() const;
    bool applyWrites();
    bool applyPlanned(const std::vector<RigWrite>& writes);
    void writeFailed(const RadioOp& op);
    // Reads the VFO just selected where the poll cannot read it from the other VFO.
    bool readSelected(int32_t vfo);
    // What one poll read successfully.
    struct PollReads {
        std::array<bool, 2> freq{false, false};
        std::array<bool, 2> mode{false, false};
    };
    bool poll();
    std::chrono::milliseconds pollInterval(Clock::time_point now) const;
    // Each reads into `state`; false when the link broke or a stop is pending.
    bool readVfo(RigState& state);
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
    // Rests before the next try to open a link that is down.
    void backOff();
    // Handles an optional read's result: a fault of the link or a refusal counts against the
    // read, not the link. False when a stop is pending.
    bool handled(int code, RigLink::Read read);
    // Handles the current frequency's read: no answer ends the link, unless a network server
    // may just be busy.
    bool handled(int code);
    // Forgets which values the radio is sure to hold, as when something may have changed them.
    void forgetSure();

    int number_;
    RigConfig config_;
    RigMailbox& mailbox_;
    std::shared_ptr<EventHub> hub_;
    std::unique_ptr<SharedRigctld> shared_;
    std::unique_ptr<RigLink> link_;

    // What the radio is now, as far as known; `sure_` marks the frequencies and modes that it
    // reported or that were written since with no change seen behind the program's back, the
    // only ones a write may be dropped against.
    RigState known_;
    std::array<bool, 2> sureFreq_{false, false};
    std::array<bool, 2> sureMode_{false, false};
    RigState reported_;
    // The next on-line publish reports every known parameter, as a first start does.
    bool reportAll_ = true;
    std::chrono::milliseconds retry_ = kFirstRetry;
    // Since when the link has been down (unset while it is up).
    std::optional<Clock::time_point> downSince_;
    Clock::time_point nextPoll_{};
    // Since the link opened: the polls that read the VFO, mode and PTT, and split, RIT and the
    // VFO not in use (none yet); the last change the poll saw or a write made; the last change
    // of the frequency behind the program's back.
    std::optional<Clock::time_point> lastStateRead_;
    std::optional<Clock::time_point> lastSlowRead_;
    Clock::time_point lastChange_{};
    Clock::time_point lastTurn_{};
    Clock::time_point lastSwitch_{};
    std::array<int, static_cast<size_t>(RigLink::Read::Count)> strikes_{};
    // The last write the radio did not carry out, until it does.
    std::optional<RadioOp> lastFailedWrite_;
    // Since when a network server has not answered.
    std::optional<Clock::time_point> silentSince_;

    std::thread thread_;
};

}  // namespace OmniRig
