#include "EventPump.h"

#include <algorithm>

namespace OmniRig::Testing {

EventPump::EventPump() : queue_(std::make_shared<Queue>()), owner_(std::this_thread::get_id()) {}

std::function<void(EventPump::Task)> EventPump::dispatcher() const {
    std::weak_ptr<Queue> weak = queue_;
    return [weak](Task task) {
        if (auto queue = weak.lock()) {
            {
                std::lock_guard lock(queue->mutex);
                queue->tasks.push_back(std::move(task));
            }
            queue->arrived.notify_all();
        }
    };
}

bool EventPump::pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        Task task;
        {
            std::unique_lock lock(queue_->mutex);
            // The condition may also turn on something other than events: look again soon.
            const auto next = std::min(deadline, std::chrono::steady_clock::now() + kRecheck);
            if (!queue_->arrived.wait_until(lock, next, [&] { return !queue_->tasks.empty(); })) {
                if (next == deadline) {
                    return done();
                }
                continue;
            }
            task = std::move(queue_->tasks.front());
            queue_->tasks.pop_front();
        }
        task();
    }
    return true;
}

int EventPump::pumpPending() {
    std::deque<Task> tasks;
    {
        std::lock_guard lock(queue_->mutex);
        tasks.swap(queue_->tasks);
    }
    for (auto& task : tasks) {
        task();
    }
    return static_cast<int>(tasks.size());
}

size_t EventPump::queued() const {
    std::lock_guard lock(queue_->mutex);
    return queue_->tasks.size();
}

}  // namespace OmniRig::Testing
