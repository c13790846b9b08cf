#pragma once
// A Hamlib rig server run the way the window runs it: through TOmniRigX, its events arriving
// through an event pump on the test's thread, its settings in a file of the test's own.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "EventPump.h"
#include "HamlibRigServer.h"
#include "ScratchDirectory.h"
#include "TOmniRigX.h"

namespace OmniRig::Testing {

struct ReceivedEvent {
    int32_t dispId;
    int32_t rig;
    int32_t params;
};

class ServerHarness {
public:
    // `settings` is written to a fresh file unless it is null, which leaves no file at all.
    explicit ServerHarness(const char* settings);
    ~ServerHarness();

    const std::filesystem::path& settingsPath() const { return settingsPath_; }
    TOmniRigX& client() { return *client_; }
    EventPump& pump() { return pump_; }
    std::shared_ptr<HamlibRigServer> server() const { return server_.lock(); }
    RigObject rig(int number) {
        return number == 1 ? client_->RigObject1() : client_->RigObject2();
    }

    // Pumps events until the condition holds; false after the time-out.
    bool waitFor(const std::function<bool()>& done,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10));
    bool waitForStatus(int rig, int32_t code,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Whether an OnParamsChange for the rig carrying every one of the bits has arrived.
    bool received(int rig, int32_t bits) const;
    // Pumps until a further OnParamsChange for the rig carries every one of the bits.
    bool waitForParams(int rig, int32_t bits,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10));

    std::vector<ReceivedEvent> events;
    // Set when an event reached a handler on a thread other than the test's.
    bool eventOffThread = false;

    // Ends the client and the server.
    void shutDown() { client_.reset(); }

private:
    ScratchDirectory directory_{"hamlib"};
    const std::filesystem::path settingsPath_ = directory_ / "ZUVOZERARO.INI";
    EventPump pump_;
    std::unique_ptr<TOmniRigX> client_;
    std::weak_ptr<HamlibRigServer> server_;
};

}  // namespace OmniRig::Testing
