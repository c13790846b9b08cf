#pragma once
// The event loop of a test without Qt: a dispatcher that queues functions from any thread, and
// a pump that the test's own thread runs, so events reach the client on the thread that owns
// it, as they would through the window's message loop.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace OmniRig::Testing {

class EventPump {
public:
    using Task = std::function<void()>;

    EventPump();

    // Hands its functions to this pump; safe to call from any thread and after the pump is
    // gone (the function is then dropped). The type is the rig server's dispatcher.
    std::function<void(Task)> dispatcher() const;

    // Runs queued functions on the calling thread until the predicate holds (checked after
    // each one, and every few milliseconds) or the time-out passes; returns its last value.
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    // Runs what is queued now and returns how many ran.
    int pumpPending();
    size_t queued() const;

    // True while called from the thread that created the pump.
    bool onOwnerThread() const { return std::this_thread::get_id() == owner_; }

private:
    static constexpr std::chrono::milliseconds kRecheck{5};

    struct Queue {
        std::mutex mutex;
        std::condition_variable arrived;
        std::deque<Task> tasks;
    };
    std::shared_ptr<Queue> queue_;
    std::thread::id owner_;
};

}  // namespace OmniRig::Testing
