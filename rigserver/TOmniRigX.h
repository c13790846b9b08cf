#pragma once
// The client component of the rig server: connects, holds IOmniRigX, and turns the server's
// events into calls of five handlers. An empty handler drops its event.

#include <cstdint>
#include <functional>
#include <memory>

#include "OmniRig_TLB.h"
#include "RigObject.h"

namespace OmniRig {

class TOmniRigX;

using TNotifyEvent = std::function<void(TOmniRigX* ASender)>;
using TOmniRigXRigTypeChange = std::function<void(TOmniRigX* ASender, int32_t RigNumber)>;
using TOmniRigXStatusChange = std::function<void(TOmniRigX* ASender, int32_t RigNumber)>;
using TOmniRigXParamsChange =
    std::function<void(TOmniRigX* ASender, int32_t RigNumber, int32_t Params)>;
using TOmniRigXCustomReply = std::function<void(TOmniRigX* ASender, int32_t RigNumber,
                                                const Variant& Command, const Variant& Reply)>;

class TOmniRigX {
public:
    explicit TOmniRigX(ServerFactory factory);
    ~TOmniRigX();
    TOmniRigX(const TOmniRigX&) = delete;
    TOmniRigX& operator=(const TOmniRigX&) = delete;

    // Attaches to the server (or starts it) and subscribes to its events; does nothing while
    // connected. A refused subscription is ignored: the operations still work, no events arrive.
    void Connect();
    // Ends the subscription and drops the server.
    void Disconnect();
    bool Connected() const { return server_ != nullptr; }

    RigObject RigObject1();
    RigObject RigObject2();
    bool SettingsDialogVisible();
    void SetSettingsDialogVisible(bool visible);

    TNotifyEvent OnVisibleChange;
    TOmniRigXRigTypeChange OnRigTypeChange;
    TOmniRigXStatusChange OnStatusChange;
    TOmniRigXParamsChange OnParamsChange;
    TOmniRigXCustomReply OnCustomReply;

private:
    class EventSink;

    IOmniRigX& server();
    RigResult dispatch(int32_t dispId, const std::vector<Variant>& args);

    ServerFactory factory_;
    std::shared_ptr<IOmniRigX> server_;
    std::shared_ptr<EventSink> sink_;
    uint32_t cookie_ = 0;
};

}  // namespace OmniRig
