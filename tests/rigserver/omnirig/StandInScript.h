#pragma once
// What the tests make of the stand-in: the record of every call in order ("RigObject1?",
// "rig2.Frequency=7010000", "Advise", ...), calls that fail on demand, and events raised inside a
// call (the way a real server's events can arrive while the client waits for an answer).

#include <windows.h>

#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

#include "StandInVariant.h"

namespace StandIn {

class StandInScript {
public:
    // Runs the call: records it, fails it when a failure is scripted for it, else runs the body;
    // then raises the event waiting for it, if any.
    HRESULT handle(const std::wstring& call, EXCEPINFO* exception,
                   const std::function<HRESULT()>& body);

    // Calls whose record starts with the prefix fail; "times" < 0 means every time.
    void failCall(std::wstring prefix, HRESULT code, std::wstring description, LONG style,
                  LONG times);
    // The next call whose record starts with the prefix raises the event before it returns.
    void raiseOnNextCall(std::wstring prefix, DISPID event, std::vector<StandInVariant> args);

    std::wstring callRecord() const;
    void clear() { calls_.clear(); }

    // Delivers an event to the subscribers.
    std::function<void(DISPID, const std::vector<StandInVariant>&)> raise;

private:
    struct Failure {
        std::wstring prefix;
        HRESULT code;
        std::wstring description;
        LONG style;
        LONG times;
    };
    struct Trigger {
        std::wstring prefix;
        DISPID event;
        std::vector<StandInVariant> args;
    };

    HRESULT fail(const Failure& failure, EXCEPINFO* exception) const;

    std::vector<std::wstring> calls_;
    std::vector<Failure> failures_;
    std::vector<Trigger> triggers_;
};

}  // namespace StandIn
