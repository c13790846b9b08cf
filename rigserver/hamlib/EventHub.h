#pragma once
// The rig server's event subscriptions. Events may be raised on any thread; each reaches the
// sinks through the dispatcher, on the thread that owns the client. The sinks are only touched
// there: Advise, Unadvise and delivery all run on that thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "Dispatcher.h"
#include "OmniRig_TLB.h"

namespace OmniRig {

class EventHub : public std::enable_shared_from_this<EventHub> {
public:
    explicit EventHub(Dispatcher dispatcher) : dispatcher_(std::move(dispatcher)) {}

    // Any thread. An event that arrives after the hub is gone is dropped.
    void post(int32_t dispId, std::vector<Variant> args);
    // Any thread: runs the function on the client's thread while the hub lives. Without a
    // dispatcher it runs at once.
    void dispatch(std::function<void()> function);

    // The client's thread.
    uint32_t advise(std::shared_ptr<IOmniRigXEvents> sink);
    bool unadvise(uint32_t cookie);
    void clear() { sinks_.clear(); }

private:
    void deliver(int32_t dispId, const std::vector<Variant>& args);

    Dispatcher dispatcher_;
    std::vector<std::pair<uint32_t, std::shared_ptr<IOmniRigXEvents>>> sinks_;
    uint32_t lastCookie_ = 0;
};

}  // namespace OmniRig
