#include "EventHub.h"

#include <algorithm>

namespace OmniRig {

void EventHub::post(int32_t dispId, std::vector<Variant> args) {
    if (!dispatcher_) {
        return;  // no thread to deliver on
    }
    std::weak_ptr<EventHub> weak = weak_from_this();
    dispatcher_([weak, dispId, args = std::move(args)] {
        if (auto hub = weak.lock()) {
            hub->deliver(dispId, args);
        }
    });
}

void EventHub::dispatch(std::function<void()> function) {
    if (!dispatcher_) {
        function();
        return;
    }
    std::weak_ptr<EventHub> weak = weak_from_this();
    dispatcher_([weak, function = std::move(function)] {
        if (weak.lock()) {
            function();
        }
    });
}

uint32_t EventHub::advise(std::shared_ptr<IOmniRigXEvents> sink) {
    sinks_.emplace_back(++lastCookie_, std::move(sink));
    return lastCookie_;
}

bool EventHub::unadvise(uint32_t cookie) {
    return std::erase_if(sinks_, [cookie](const auto& s) { return s.first == cookie; }) > 0;
}

void EventHub::deliver(int32_t dispId, const std::vector<Variant>& args) {
    // A sink may end its subscription, or another's, while it handles the event.
    const auto sinks = sinks_;
    for (const auto& [cookie, sink] : sinks) {
        const bool subscribed = std::any_of(sinks_.begin(), sinks_.end(),
                                            [&](const auto& s) { return s.first == cookie; });
        if (subscribed) {
            sink->Invoke(dispId, args);
        }
    }
}

}  // namespace OmniRig
