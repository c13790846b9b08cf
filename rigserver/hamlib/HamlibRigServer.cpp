#include "HamlibRigServer.h"

#include <exception>
#include <mutex>
#include <optional>
#include <utility>

#include "HamlibLibrary.h"
#include "IniFile.h"

namespace OmniRig {

namespace {

std::mutex instanceMutex;
std::weak_ptr<HamlibRigServer> runningInstance;

// Both rigs' settings, or nothing when the file cannot be read (the window tells the operator
// about the file itself).
std::optional<std::pair<RigConfig, RigConfig>> readRigConfigs(
    const std::filesystem::path& settingsPath) {
    try {
        const IniFile settings(settingsPath);
        return std::pair{RigConfig::read(settings, 1), RigConfig::read(settings, 2)};
    } catch (const IniReadError&) {
        return std::nullopt;
    }
}

}  // namespace

HamlibRigServer::HamlibRigServer(std::filesystem::path settingsPath, Dispatcher dispatcher,
                                 SettingsWindowFactory settingsWindow)
    : settingsPath_(std::move(settingsPath)),
      hub_(std::make_shared<EventHub>(std::move(dispatcher))),
      settingsWindowFactory_(std::move(settingsWindow)) {
    HamlibLibrary::initialise();
    // An unreadable file starts the rigs on the defaults.
    auto [config1, config2] =
        readRigConfigs(settingsPath_).value_or(std::pair<RigConfig, RigConfig>{});
    rig1_ = std::make_shared<HamlibRig>(1, std::move(config1), hub_);
    rig2_ = std::make_shared<HamlibRig>(2, std::move(config2), hub_);
}

HamlibRigServer::~HamlibRigServer() {
    settingsWindow_.reset();
    hub_->clear();
    rig1_->requestStop();
    rig2_->requestStop();
}

ServerFactory HamlibRigServer::factory(std::filesystem::path settingsPath, Dispatcher dispatcher,
                                       SettingsWindowFactory settingsWindow) {
    return [settingsPath = std::move(settingsPath), dispatcher = std::move(dispatcher),
            settingsWindow = std::move(settingsWindow)](std::shared_ptr<IOmniRigX>& server) {
        std::lock_guard lock(instanceMutex);
        auto instance = runningInstance.lock();
        if (!instance) {
            try {
                instance =
                    std::make_shared<HamlibRigServer>(settingsPath, dispatcher, settingsWindow);
            } catch (const std::exception& e) {
                return RigResult::fail(E_FAILURE,
                                       std::string("The rig server cannot start: ") + e.what());
            }
            runningInstance = instance;
        }
        server = instance;
        return RigResult::ok();
    };
}

const RigConfig& HamlibRigServer::rigConfig(int rigNumber) const {
    return (rigNumber == 1 ? rig1_ : rig2_)->config();
}

void HamlibRigServer::reloadSettings() {
    // A file that cannot be read now changes no rig that is running.
    if (const auto configs = readRigConfigs(settingsPath_)) {
        rig1_->reconfigure(configs->first);
        rig2_->reconfigure(configs->second);
    }
}

void HamlibRigServer::settingsWindowClosed() {
    if (settingsVisible_) {
        settingsVisible_ = false;
        hub_->post(DISPID_VisibleChange, {});
    }
}

RigResult HamlibRigServer::get_RigObject1(std::shared_ptr<IRigX>& rig) {
    rig = rig1_;
    return RigResult::ok();
}

RigResult HamlibRigServer::get_RigObject2(std::shared_ptr<IRigX>& rig) {
    rig = rig2_;
    return RigResult::ok();
}

RigResult HamlibRigServer::get_SettingsDialogVisible(bool& value) {
    value = settingsVisible_;
    return RigResult::ok();
}

RigResult HamlibRigServer::set_SettingsDialogVisible(bool value) {
    if (value == settingsVisible_) {
        if (value && settingsWindow_) {
            settingsWindow_->bringToFront();
        }
        return RigResult::ok();
    }
    if (value && !settingsWindow_ && settingsWindowFactory_) {
        settingsWindow_ = settingsWindowFactory_(*this);
    }
    settingsVisible_ = value;
    if (settingsWindow_) {
        settingsWindow_->setVisible(value);
    }
    hub_->post(DISPID_VisibleChange, {});
    return RigResult::ok();
}

RigResult HamlibRigServer::Advise(std::shared_ptr<IOmniRigXEvents> sink, uint32_t& cookie) {
    if (!sink) {
        return RigResult::fail(E_INVALID_ARGUMENT, "No event sink");
    }
    cookie = hub_->advise(std::move(sink));
    return RigResult::ok();
}

RigResult HamlibRigServer::Unadvise(uint32_t cookie) {
    if (!hub_->unadvise(cookie)) {
        return RigResult::fail(E_INVALID_ARGUMENT, "No such subscription");
    }
    return RigResult::ok();
}

}  // namespace OmniRig
