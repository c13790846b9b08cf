#include "OmniRigComServer.h"

#include <oleauto.h>
#include <olectl.h>

#include "ComApartment.h"
#include "ComFailure.h"
#include "OmniRigComRig.h"

namespace OmniRig {

namespace {

GUID guidOf(const char* text) {
    wchar_t wide[40] = {};
    for (size_t i = 0; i + 1 < std::size(wide) && text[i] != '\0'; ++i) {
        wide[i] = static_cast<wchar_t>(text[i]);
    }
    GUID guid{};
    ::CLSIDFromString(wide, &guid);
    return guid;
}

}  // namespace

ServerFactory OmniRigComServer::factory() {
    return &OmniRigComServer::connect;
}

RigResult OmniRigComServer::connect(std::shared_ptr<IOmniRigX>& server) {
    if (auto r = ComApartment::enterSingleThreaded(); r.failed()) {
        return r;
    }
    const CLSID serverClass = guidOf(CLASS_OmniRigX);
    ComRef<IUnknown> object;
    ComFailure::clearErrorInfo();
    HRESULT hr = ::GetActiveObject(serverClass, nullptr, object.put());
    if (FAILED(hr) || !object) {
        hr = ::CoCreateInstance(serverClass, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER,
                                IID_IUnknown, object.putVoid());
        if (FAILED(hr)) {
            return ComFailure::fromCall(hr, "The rig server cannot be started");
        }
    }
    ComRef<IDispatch> dispatch;
    hr = object.queryInterface(IID_IDispatch, dispatch);
    if (FAILED(hr)) {
        return ComFailure::fromCall(hr, "The rig server offers no automation");
    }
    server = std::make_shared<OmniRigComServer>(std::move(dispatch));
    return RigResult::ok();
}

OmniRigComServer::~OmniRigComServer() {
    // Taken out first: ending one can run an event handler that looks at the rest.
    auto open = std::move(subscriptions_);
    subscriptions_.clear();
    for (auto& [cookie, subscription] : open) {
        end(cookie, subscription, nullptr);
    }
}

void OmniRigComServer::end(uint32_t cookie, Subscription& subscription, HRESULT* result) {
    subscription.sink->detach();
    ComFailure::clearErrorInfo();
    const HRESULT hr = subscription.point->Unadvise(cookie);
    if (result != nullptr) {
        *result = hr;
    }
}

RigResult OmniRigComServer::rigObject(const wchar_t* name, std::shared_ptr<IRigX>& rig) {
    // Kept alive for the call: an event handler inside it may disconnect the client.
    auto self = shared_from_this();
    ComRef<IDispatch> object;
    if (auto r = server_.getObject(name, object); r.failed()) {
        return r;
    }
    rig = std::make_shared<OmniRigComRig>(std::move(object));
    return RigResult::ok();
}

RigResult OmniRigComServer::get_RigObject1(std::shared_ptr<IRigX>& rig) {
    return rigObject(L"RigObject1", rig);
}

RigResult OmniRigComServer::get_RigObject2(std::shared_ptr<IRigX>& rig) {
    return rigObject(L"RigObject2", rig);
}

RigResult OmniRigComServer::get_SettingsDialogVisible(bool& value) {
    auto self = shared_from_this();
    return server_.getBool(L"SettingsDialogVisible", value);
}

RigResult OmniRigComServer::set_SettingsDialogVisible(bool value) {
    auto self = shared_from_this();
    return server_.putBool(L"SettingsDialogVisible", value);
}

RigResult OmniRigComServer::Advise(std::shared_ptr<IOmniRigXEvents> events, uint32_t& cookie) {
    auto self = shared_from_this();
    ComRef<IConnectionPointContainer> container;
    ComFailure::clearErrorInfo();
    HRESULT hr = server_.object().queryInterface(IID_IConnectionPointContainer, container);
    if (FAILED(hr)) {
        return ComFailure::fromCall(hr, "The rig server offers no events");
    }
    ComRef<IConnectionPoint> point;
    hr = container->FindConnectionPoint(guidOf(DIID_IOmniRigXEvents), point.put());
    if (FAILED(hr) || !point) {
        return ComFailure::fromCall(FAILED(hr) ? hr : E_POINTER, "The rig server offers no events");
    }
    auto sink = ComRef<OmniRigComEventSink>::adopt(new OmniRigComEventSink(std::move(events)));
    DWORD given = 0;
    ComFailure::clearErrorInfo();
    hr = point->Advise(sink.get(), &given);
    if (FAILED(hr)) {
        sink->detach();
        return ComFailure::fromCall(hr, "The rig server refused the event subscription");
    }
    subscriptions_.insert_or_assign(given, Subscription{std::move(point), std::move(sink)});
    cookie = given;
    return RigResult::ok();
}

RigResult OmniRigComServer::Unadvise(uint32_t cookie) {
    auto self = shared_from_this();
    auto node = subscriptions_.extract(cookie);
    if (node.empty()) {
        return RigResult::fail(static_cast<int32_t>(CONNECT_E_NOCONNECTION),
                               "No event subscription with this cookie");
    }
    HRESULT hr = S_OK;
    end(cookie, node.mapped(), &hr);
    if (FAILED(hr)) {
        return ComFailure::fromCall(hr, "The event subscription cannot be ended");
    }
    return RigResult::ok();
}

}  // namespace OmniRig
