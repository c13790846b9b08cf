#pragma once
// The Hamlib rig server as the program runs it, with its settings window: events reach the
// test through the Qt event loop, and the settings live in a file of the test's own.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "HamlibRigServer.h"
#include "HamlibSettingsDialog.h"
#include "ScratchDirectory.h"
#include "TOmniRigX.h"

namespace OmniRig::Testing {

class SettingsWindowFixture : public ::testing::Test {
protected:
    struct Event {
        int32_t dispId;
        int32_t rig;
    };

    void TearDown() override;

    // Writes the settings file (none for null) and connects a client to a new rig server.
    void start(const char* settings);
    // Shows the window through the server, as the window's commands do, and returns it.
    HamlibSettingsDialog* open();
    std::string fileContents() const;
    int count(int32_t dispId, int32_t rig = 0) const;
    // Pumps the Qt event loop until the rig reports this status code; false after the deadline.
    bool waitForStatus(int rig, int32_t code, int timeoutMs = 10'000);
    RigObject rig(int number) { return number == 1 ? client->RigObject1() : client->RigObject2(); }
    // Each waits, with a deadline, until the save it started is over.
    void clickOk(HamlibSettingsDialog* dialog);
    void clickApply(HamlibSettingsDialog* dialog);

    ScratchDirectory directory{"settings"};
    const std::filesystem::path settingsPath = directory / "ZUVOZERARO.INI";
    std::unique_ptr<TOmniRigX> client;
    std::vector<Event> events;
};

}  // namespace OmniRig::Testing
