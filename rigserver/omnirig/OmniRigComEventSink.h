#pragma once
// The receiver that the automation server calls for its events: an IDispatch answering for the
// event interface. It puts the arguments (which arrive last first) back in declared order, makes
// RigNumber and Params 32-bit integers, hands the event to the client's receiver and reports
// success to the server, whatever the client made of it.

#include <windows.h>

#include <oaidl.h>

#include <memory>
#include <vector>

#include "OmniRig_TLB.h"

namespace OmniRig {

class OmniRigComEventSink final : public IDispatch {
public:
    // Starts with one reference, owned by the caller.
    explicit OmniRigComEventSink(std::shared_ptr<IOmniRigXEvents> events);
    OmniRigComEventSink(const OmniRigComEventSink&) = delete;
    OmniRigComEventSink& operator=(const OmniRigComEventSink&) = delete;

    // Events from now on are dropped; the server may still hold the receiver for a while.
    void detach() { events_.reset(); }

    // The arguments in declared order.
    static std::vector<Variant> argumentsOf(DISPID event, const DISPPARAMS* params);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

private:
    ~OmniRigComEventSink() = default;

    LONG references_ = 1;
    std::shared_ptr<IOmniRigXEvents> events_;
};

}  // namespace OmniRig
