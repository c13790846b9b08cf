#include "ServerHarness.h"

#include <fstream>

namespace OmniRig::Testing {

ServerHarness::ServerHarness(const char* settings) {
    if (settings != nullptr) {
        std::ofstream(settingsPath_, std::ios::binary) << settings;
    }
    auto factory = HamlibRigServer::factory(settingsPath_, pump_.dispatcher());
    client_ = std::make_unique<TOmniRigX>([this, factory](std::shared_ptr<IOmniRigX>& server) {
        const RigResult result = factory(server);
        server_ = std::dynamic_pointer_cast<HamlibRigServer>(server);
        return result;
    });
    auto record = [this](int32_t id, int32_t rig, int32_t params) {
        eventOffThread = eventOffThread || !pump_.onOwnerThread();
        events.push_back({id, rig, params});
    };
    client_->OnVisibleChange = [record](TOmniRigX*) { record(DISPID_VisibleChange, 0, 0); };
    client_->OnRigTypeChange = [record](TOmniRigX*, int32_t rig) {
        record(DISPID_RigTypeChange, rig, 0);
    };
    client_->OnStatusChange = [record](TOmniRigX*, int32_t rig) {
        record(DISPID_StatusChange, rig, 0);
    };
    client_->OnParamsChange = [record](TOmniRigX*, int32_t rig, int32_t params) {
        record(DISPID_ParamsChange, rig, params);
    };
    client_->Connect();
}

ServerHarness::~ServerHarness() {
    client_.reset();
}

bool ServerHarness::waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    return pump_.pumpUntil(done, timeout);
}

bool ServerHarness::waitForStatus(int number, int32_t code, std::chrono::milliseconds timeout) {
    return waitFor([&] { return rig(number).StatusCode() == code; }, timeout);
}

bool ServerHarness::received(int number, int32_t bits) const {
    for (const auto& e : events) {
        if (e.dispId == DISPID_ParamsChange && e.rig == number && (e.params & bits) == bits) {
            return true;
        }
    }
    return false;
}

bool ServerHarness::waitForParams(int number, int32_t bits, std::chrono::milliseconds timeout) {
    const size_t from = events.size();
    return waitFor(
        [&] {
            for (size_t i = from; i < events.size(); ++i) {
                const auto& e = events[i];
                if (e.dispId == DISPID_ParamsChange && e.rig == number &&
                    (e.params & bits) == bits) {
                    return true;
                }
            }
            return false;
        },
        timeout);
}

}  // namespace OmniRig::Testing
