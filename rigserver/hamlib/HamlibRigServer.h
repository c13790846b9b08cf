#pragma once
// The rig server on Linux: rig 1 and rig 2 on Hamlib, each owned by a worker thread, configured
// in sections [RIG1] and [RIG2] of the window's settings file. Every call is made on the
// client's thread and returns at once; every event reaches the client through the dispatcher.

#include <filesystem>
#include <memory>

#include "Dispatcher.h"
#include "EventHub.h"
#include "HamlibRig.h"
#include "OmniRig_TLB.h"
#include "SettingsWindow.h"

namespace OmniRig {

class HamlibRigServer : public IOmniRigX, public std::enable_shared_from_this<HamlibRigServer> {
public:
    HamlibRigServer(std::filesystem::path settingsPath, Dispatcher dispatcher,
                    SettingsWindowFactory settingsWindow = {});
    // Stops both rigs side by side: returns within one radio time-out and a close.
    ~HamlibRigServer() override;

    // Attaches to the process's running instance or starts it. The instance lives while a
    // client holds it; the next connect after that starts a new one.
    static ServerFactory factory(std::filesystem::path settingsPath, Dispatcher dispatcher,
                                 SettingsWindowFactory settingsWindow = {});

    const std::filesystem::path& settingsPath() const { return settingsPath_; }
    // The settings rig 1 or 2 runs on now.
    const RigConfig& rigConfig(int rigNumber) const;
    // Reads the rigs' sections again; a rig whose settings changed opens its link anew.
    void reloadSettings();
    // The operator closed the settings window.
    void settingsWindowClosed();

    RigResult get_RigObject1(std::shared_ptr<IRigX>& rig) override;
    RigResult get_RigObject2(std::shared_ptr<IRigX>& rig) override;
    RigResult get_SettingsDialogVisible(bool& value) override;
    RigResult set_SettingsDialogVisible(bool value) override;
    RigResult Advise(std::shared_ptr<IOmniRigXEvents> sink, uint32_t& cookie) override;
    RigResult Unadvise(uint32_t cookie) override;

private:
    std::filesystem::path settingsPath_;
    std::shared_ptr<EventHub> hub_;
    std::shared_ptr<HamlibRig> rig1_;
    std::shared_ptr<HamlibRig> rig2_;
    SettingsWindowFactory settingsWindowFactory_;
    std::unique_ptr<SettingsWindow> settingsWindow_;
    bool settingsVisible_ = false;
};

}  // namespace OmniRig
