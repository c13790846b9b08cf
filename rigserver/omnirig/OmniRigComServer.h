#pragma once
// The automation server of the rig links on Windows, behind the rig server contract: attaches to
// the running server object (or starts one), calls it by property name, and subscribes event
// receivers through its connection point. Everything runs on the thread that called the factory,
// a single-threaded apartment; events arrive through that thread's message loop, and also inside
// any outgoing call, so nothing here holds an iterator or relies on itself across a call.

#include <windows.h>

#include <ocidl.h>

#include <map>
#include <memory>

#include "LateBoundObject.h"
#include "OmniRigComEventSink.h"
#include "OmniRig_TLB.h"

namespace OmniRig {

class OmniRigComServer : public IOmniRigX, public std::enable_shared_from_this<OmniRigComServer> {
public:
    // Enters the single-threaded object runtime on the calling thread (once), then attaches to
    // the running server of the class or starts one (local or in-process).
    static ServerFactory factory();
    static RigResult connect(std::shared_ptr<IOmniRigX>& server);

    explicit OmniRigComServer(ComRef<IDispatch> server) : server_(std::move(server)) {}
    // Ends the subscriptions still open.
    ~OmniRigComServer() override;
    OmniRigComServer(const OmniRigComServer&) = delete;
    OmniRigComServer& operator=(const OmniRigComServer&) = delete;

    RigResult get_RigObject1(std::shared_ptr<IRigX>& rig) override;
    RigResult get_RigObject2(std::shared_ptr<IRigX>& rig) override;
    RigResult get_SettingsDialogVisible(bool& value) override;
    RigResult set_SettingsDialogVisible(bool value) override;
    RigResult Advise(std::shared_ptr<IOmniRigXEvents> sink, uint32_t& cookie) override;
    RigResult Unadvise(uint32_t cookie) override;

private:
    struct Subscription {
        ComRef<IConnectionPoint> point;
        ComRef<OmniRigComEventSink> sink;
    };

    RigResult rigObject(const wchar_t* name, std::shared_ptr<IRigX>& rig);
    static void end(uint32_t cookie, Subscription& subscription, HRESULT* result);

    LateBoundObject server_;
    std::map<uint32_t, Subscription> subscriptions_;
};

}  // namespace OmniRig
