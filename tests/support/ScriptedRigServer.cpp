#include "ScriptedRigServer.h"

#include <utility>

namespace OmniRig::Testing {

namespace {

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

RigResult ScriptedRig::call(const std::string& name) {
    return server_.record("rig" + std::to_string(number_) + "." + name + "?");
}

RigResult ScriptedRig::call(const std::string& name, int32_t value) {
    return server_.record("rig" + std::to_string(number_) + "." + name + "=" +
                          std::to_string(value));
}

RigResult ScriptedRig::get_TypeText(std::string& value) {
    auto r = call("TypeText");
    value = r.failed() ? std::string() : state.typeText;
    return r;
}

RigResult ScriptedRig::get_StatusCode(int32_t& value) {
    auto r = call("StatusCode");
    value = r.failed() ? 0 : state.statusCode;
    return r;
}

RigResult ScriptedRig::get_StatusText(std::string& value) {
    auto r = call("StatusText");
    value = r.failed() ? std::string() : state.statusText;
    return r;
}

RigResult ScriptedRig::get_Frequency(int32_t& value) {
    auto r = call("Frequency");
    value = r.failed() ? 0 : (state.vfo == VFOB ? state.frequencyB : state.frequencyA);
    return r;
}

RigResult ScriptedRig::set_Frequency(int32_t value) {
    auto r = call("Frequency", value);
    if (!r.failed()) {
        (state.vfo == VFOB ? state.frequencyB : state.frequencyA) = value;
    }
    return r;
}

RigResult ScriptedRig::get_FrequencyA(int32_t& value) {
    auto r = call("FrequencyA");
    value = r.failed() ? 0 : state.frequencyA;
    return r;
}

RigResult ScriptedRig::get_FrequencyB(int32_t& value) {
    auto r = call("FrequencyB");
    value = r.failed() ? 0 : state.frequencyB;
    return r;
}

RigResult ScriptedRig::set_VfoBits(int32_t value) {
    auto r = call("VfoBits", value);
    if (!r.failed() && (value == VFOA || value == VFOB)) {
        state.vfo = value;
    }
    return r;
}

RigResult ScriptedRig::get_SplitBits(int32_t& value) {
    auto r = call("SplitBits");
    value = r.failed() ? 0 : state.split;
    return r;
}

RigResult ScriptedRig::set_SplitBits(int32_t value) {
    auto r = call("SplitBits", value);
    if (!r.failed()) {
        state.split = value;
    }
    return r;
}

RigResult ScriptedRig::set_RitBits(int32_t value) {
    auto r = call("RitBits", value);
    if (!r.failed()) {
        state.rit = value;
    }
    return r;
}

RigResult ScriptedRig::get_ModeBits(int32_t& value) {
    auto r = call("ModeBits");
    value = r.failed() ? 0 : (state.vfo == VFOB ? state.modeB : state.modeA);
    return r;
}

RigResult ScriptedRig::set_ModeBits(int32_t value) {
    auto r = call("ModeBits", value);
    if (!r.failed()) {
        (state.vfo == VFOB ? state.modeB : state.modeA) = value;
    }
    return r;
}

ScriptedRigServer::ScriptedRigServer()
    : rig1_(std::make_shared<ScriptedRig>(*this, 1)),
      rig2_(std::make_shared<ScriptedRig>(*this, 2)) {
    rig2_->state.frequencyA = 7'000'000;
    rig2_->state.frequencyB = 7'100'000;
    rig2_->state.modeA = rig2_->state.modeB = LSB;
}

std::vector<std::string> ScriptedRigServer::writes() const {
    std::vector<std::string> out;
    for (const auto& c : calls) {
        if (c.find('=') != std::string::npos && startsWith(c, "rig")) {
            out.push_back(c);
        }
    }
    return out;
}

std::vector<std::string> ScriptedRigServer::rigCalls(int number) const {
    std::vector<std::string> out;
    const std::string prefix = "rig" + std::to_string(number) + ".";
    for (const auto& c : calls) {
        if (startsWith(c, prefix)) {
            out.push_back(c);
        }
    }
    return out;
}

void ScriptedRigServer::failCall(const std::string& prefix, int32_t code,
                                 const std::string& description, int times) {
    failures_.push_back({prefix, RigResult::fail(code, description), times});
}

RigResult ScriptedRigServer::record(const std::string& call) {
    calls.push_back(call);
    for (auto& f : failures_) {
        if (f.times != 0 && startsWith(call, f.prefix)) {
            if (f.times > 0) {
                --f.times;
            }
            return f.result;
        }
    }
    return RigResult::ok();
}

RigResult ScriptedRigServer::raise(int32_t dispId, const std::vector<Variant>& args) {
    if (!sink_) {
        return RigResult::ok();
    }
    // Keep the sink alive even if the handler ends the subscription.
    auto sink = sink_;
    return sink->Invoke(dispId, args);
}

ServerFactory ScriptedRigServer::factory() {
    auto self = shared_from_this();
    return [self](std::shared_ptr<IOmniRigX>& server) {
        auto r = self->record("Connect");
        if (!r.failed()) {
            server = self;
        }
        return r;
    };
}

RigResult ScriptedRigServer::get_RigObject1(std::shared_ptr<IRigX>& rig) {
    auto r = record("RigObject1");
    if (!r.failed()) {
        rig = rig1_;
    }
    return r;
}

RigResult ScriptedRigServer::get_RigObject2(std::shared_ptr<IRigX>& rig) {
    auto r = record("RigObject2");
    if (!r.failed()) {
        rig = rig2_;
    }
    return r;
}

RigResult ScriptedRigServer::get_SettingsDialogVisible(bool& value) {
    auto r = record("SettingsDialogVisible?");
    value = settingsDialogVisible;
    return r;
}

RigResult ScriptedRigServer::set_SettingsDialogVisible(bool value) {
    auto r = record(std::string("SettingsDialogVisible=") + (value ? "1" : "0"));
    if (!r.failed()) {
        settingsDialogVisible = value;
    }
    return r;
}

RigResult ScriptedRigServer::Advise(std::shared_ptr<IOmniRigXEvents> sink, uint32_t& cookie) {
    auto r = record("Advise");
    if (r.failed()) {
        return r;
    }
    if (refuseAdvise_) {
        return RigResult::fail(E_NO_CONNECTION, "Events are not offered");
    }
    sink_ = std::move(sink);
    cookie = ++cookie_;
    if (auto inside = std::exchange(duringAdvise, nullptr)) {
        inside();
    }
    return r;
}

RigResult ScriptedRigServer::Unadvise(uint32_t cookie) {
    auto r = record("Unadvise");
    if (cookie == cookie_) {
        sink_.reset();
    }
    return r;
}

}  // namespace OmniRig::Testing
