#pragma once
// A rig server for tests: two rigs with a little state of their own (two VFOs, the current one,
// mode, split, status), a record of every call in order, and failures on demand.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "OmniRig_TLB.h"

namespace OmniRig::Testing {

class ScriptedRigServer;

struct ScriptedRigState {
    std::string typeText = "Dummy";
    int32_t statusCode = ST_ONLINE;
    std::string statusText = "On-line";
    int32_t frequencyA = 14'000'000;
    int32_t frequencyB = 14'100'000;
    int32_t vfo = VFOA;
    int32_t modeA = USB;
    int32_t modeB = USB;
    int32_t split = SPLITOFF;
    int32_t rit = RITOFF;
};

class ScriptedRig : public IRigX {
public:
    ScriptedRig(ScriptedRigServer& server, int number) : server_(server), number_(number) {}

    ScriptedRigState state;

    RigResult get_TypeText(std::string& value) override;
    RigResult get_StatusCode(int32_t& value) override;
    RigResult get_StatusText(std::string& value) override;
    RigResult get_Frequency(int32_t& value) override;
    RigResult set_Frequency(int32_t value) override;
    RigResult get_FrequencyA(int32_t& value) override;
    RigResult get_FrequencyB(int32_t& value) override;
    RigResult set_VfoBits(int32_t value) override;
    RigResult get_SplitBits(int32_t& value) override;
    RigResult set_SplitBits(int32_t value) override;
    RigResult set_RitBits(int32_t value) override;
    RigResult get_ModeBits(int32_t& value) override;
    RigResult set_ModeBits(int32_t value) override;

private:
    RigResult call(const std::string& name);
    RigResult call(const std::string& name, int32_t value);

    ScriptedRigServer& server_;
    int number_;
};

class ScriptedRigServer : public IOmniRigX, public std::enable_shared_from_this<ScriptedRigServer> {
public:
    ScriptedRigServer();

    ScriptedRig& rig(int number) { return number == 1 ? *rig1_ : *rig2_; }

    // Every call in order: "RigObject1", "rig2.Frequency?" (a read), "rig2.Frequency=7010000"
    // (a write), "Advise", "SettingsDialogVisible=1", ...
    std::vector<std::string> calls;
    std::vector<std::string> writes() const;
    std::vector<std::string> rigCalls(int number) const;
    void clearCalls() { calls.clear(); }

    // Makes the calls whose record starts with the prefix fail with the code; "times" < 0 makes
    // it fail every time.
    void failCall(const std::string& prefix, int32_t code = E_FAILURE,
                  const std::string& description = "Scripted failure", int times = -1);
    void refuseSubscription() { refuseAdvise_ = true; }
    // Runs inside the next successful Advise, after the sink is in place: an event raised there
    // arrives while the client is still connecting.
    std::function<void()> duringAdvise;

    bool subscribed() const { return sink_ != nullptr; }
    // Delivers an event to the subscribed client, as the server's dispatcher would.
    RigResult raise(int32_t dispId, const std::vector<Variant>& args);

    bool settingsDialogVisible = false;

    // A factory that hands this server to a client.
    ServerFactory factory();

    RigResult get_RigObject1(std::shared_ptr<IRigX>& rig) override;
    RigResult get_RigObject2(std::shared_ptr<IRigX>& rig) override;
    RigResult get_SettingsDialogVisible(bool& value) override;
    RigResult set_SettingsDialogVisible(bool value) override;
    RigResult Advise(std::shared_ptr<IOmniRigXEvents> sink, uint32_t& cookie) override;
    RigResult Unadvise(uint32_t cookie) override;

    // Records the call and returns its scripted result.
    RigResult record(const std::string& call);

private:
    struct Failure {
        std::string prefix;
        RigResult result;
        int times;
    };

    std::shared_ptr<ScriptedRig> rig1_;
    std::shared_ptr<ScriptedRig> rig2_;
    std::vector<Failure> failures_;
    std::shared_ptr<IOmniRigXEvents> sink_;
    uint32_t cookie_ = 0;
    bool refuseAdvise_ = false;
};

}  // namespace OmniRig::Testing
