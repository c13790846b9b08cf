#pragma once
// The hook for the rig server's own settings window. The window itself (Qt) lives in a library
// of its own; the server only shows and hides it and hears when the operator closes it.

#include <functional>
#include <memory>

namespace OmniRig {

class HamlibRigServer;

class SettingsWindow {
public:
    virtual ~SettingsWindow() = default;
    virtual void setVisible(bool visible) = 0;
    // Shown again while it is open: it comes to the front.
    virtual void bringToFront() {}
};

// Makes the window the first time it is to be shown, on the client's thread. The window calls
// HamlibRigServer::settingsWindowClosed() when the operator closes it, and
// HamlibRigServer::reloadSettings() after it has saved new settings.
using SettingsWindowFactory = std::function<std::unique_ptr<SettingsWindow>(HamlibRigServer&)>;

}  // namespace OmniRig
