#pragma once
// The stand-in's connection point for the event interface. A subscriber must answer for the
// event interface, as the real server asks; events go to every subscriber, and a subscriber may
// end its subscription (or another's) while an event is delivered.

#include <windows.h>

#include <ocidl.h>

#include <map>
#include <string>
#include <vector>

#include "StandInScript.h"
#include "StandInVariant.h"

namespace StandIn {

class StandInConnectionPoint final : public IConnectionPoint {
public:
    StandInConnectionPoint(IConnectionPointContainer& container, StandInScript& script);

    bool refuseAdvise = false;

    size_t subscribers() const { return sinks_.size(); }
    // The result each subscriber gave for the last events, "0x00000000" and so on, one a line.
    std::wstring results() const;
    void raise(DISPID event, const std::vector<StandInVariant>& args);
    // Lets go of every subscriber (the server is quitting).
    void dropAll();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** e) override;

private:
    ~StandInConnectionPoint() = default;

    IConnectionPointContainer& container_;
    StandInScript& script_;
    LONG references_ = 1;
    DWORD nextCookie_ = 0x51;
    std::map<DWORD, IDispatch*> sinks_;
    std::vector<HRESULT> results_;
};

}  // namespace StandIn
