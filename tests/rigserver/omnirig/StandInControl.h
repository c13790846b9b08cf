#pragma once
// The test controls of the running stand-in, called by dispatch id through the test's own
// reference to it (not through the code under test).

#include <windows.h>

#include <oaidl.h>

#include <string>
#include <vector>

#include "ComRef.h"
#include "StandInIds.h"

namespace OmniRigTesting {

class StandInControl {
public:
    // The running stand-in; a test failure when none runs.
    static StandInControl attach();

    explicit StandInControl(OmniRig::ComRef<IDispatch> server) : server_(std::move(server)) {}

    DWORD processId();
    bool startedByRuntime();
    // The calls since the last clear, in order.
    std::vector<std::string> calls();
    void clearCalls();
    void failCall(const std::wstring& prefix, HRESULT code, const std::wstring& description,
                  StandIn::FailStyle style = StandIn::kExceptionInfo, LONG times = -1);
    void refuseSubscription(StandIn::Refusal how);
    LONG subscriptions();
    // What each delivery of an event returned to the stand-in.
    std::vector<std::string> eventResults();
    // Raises the event now (inside this call) or from the stand-in's message loop.
    void raiseEvent(DISPID event, const std::vector<VARIANT>& args, bool later = false);
    void raiseOnNextCall(const std::wstring& prefix, DISPID event,
                         const std::vector<VARIANT>& args);
    void setValue(const std::wstring& key, const VARIANT& value);
    void quit();

    // Values for the calls above; the caller clears them.
    static VARIANT longValue(LONG v);
    static VARIANT textValue(const wchar_t* text);
    static VARIANT bytesValue(const std::vector<unsigned char>& bytes, LONG lowBound);

private:
    VARIANT call(DISPID member, WORD flags, std::vector<VARIANT> args);

    OmniRig::ComRef<IDispatch> server_;
};

}  // namespace OmniRigTesting
