#pragma once
// The stand-in's server object: IOmniRigX with its two rigs and the event connection point, and
// the test controls (IStandInControl) on the same object.

#include <deque>
#include <functional>
#include <utility>

#include "StandInConnectionPoint.h"
#include "StandInDispatch.h"
#include "StandInRig.h"
#include "StandInScript.h"

namespace StandIn {

class StandInServer final : public StandInDispatch, public IConnectionPointContainer {
public:
    explicit StandInServer(bool startedByRuntime);

    // Asked to quit by a test.
    std::function<void()> onQuit;
    // Lets go of the rigs and the subscribers, and refuses every call from now on.
    void shutDown();

    // Both bases are IUnknown: the one behind IDispatch counts.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return StandInDispatch::QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return StandInDispatch::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return StandInDispatch::Release(); }
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** e) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

protected:
    HRESULT invokeMember(DISPID member, WORD flags, DISPPARAMS& params, VARIANT* result,
                         EXCEPINFO* exception) override;
    void* queryOther(REFIID iid) override;

private:
    ~StandInServer() override;

    HRESULT property(DISPID member, WORD flags, DISPPARAMS& params, VARIANT* result,
                     EXCEPINFO* exception);
    HRESULT control(DISPID member, DISPPARAMS& params, VARIANT* result);
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l);

    bool startedByRuntime_;
    bool settingsDialogVisible_ = false;
    LONG refusal_ = 0;
    bool shutDown_ = false;
    StandInScript script_;
    StandInRig* rigs_[2];
    StandInConnectionPoint* point_;
    HWND window_ = nullptr;
    std::deque<std::pair<DISPID, std::vector<StandInVariant>>> later_;
};

}  // namespace StandIn
