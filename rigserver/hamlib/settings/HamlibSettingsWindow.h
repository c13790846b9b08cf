#pragma once
// The rig server's hook for its settings window, on the Qt dialog. The server shows and hides
// it; the operator's close (OK, Cancel, the title bar) goes back to the server.

#include <memory>

#include "SettingsWindow.h"

namespace OmniRig {

class HamlibSettingsDialog;

class HamlibSettingsWindow : public SettingsWindow {
public:
    explicit HamlibSettingsWindow(HamlibRigServer& server);
    ~HamlibSettingsWindow() override;

    // For HamlibRigServer::factory: makes the window on the client's (the GUI) thread.
    static SettingsWindowFactory factory();

    void setVisible(bool visible) override;
    void bringToFront() override;

    HamlibSettingsDialog& dialog() const { return *dialog_; }

private:
    std::unique_ptr<HamlibSettingsDialog> dialog_;
};

}  // namespace OmniRig
