#include "HamlibSettingsWindow.h"

#include "HamlibRigServer.h"
#include "HamlibSettingsDialog.h"

namespace OmniRig {

HamlibSettingsWindow::HamlibSettingsWindow(HamlibRigServer& server)
    : dialog_(std::make_unique<HamlibSettingsDialog>(server)) {
    // done() alone emits finished; the server's own hide() does not come back here.
    QObject::connect(dialog_.get(), &QDialog::finished, dialog_.get(),
                     [&server] { server.settingsWindowClosed(); });
}

HamlibSettingsWindow::~HamlibSettingsWindow() = default;

SettingsWindowFactory HamlibSettingsWindow::factory() {
    return [](HamlibRigServer& server) { return std::make_unique<HamlibSettingsWindow>(server); };
}

void HamlibSettingsWindow::setVisible(bool visible) {
    if (!visible) {
        dialog_->hide();
        return;
    }
    if (!dialog_->isVisible()) {
        dialog_->load();
    }
    bringToFront();
}

void HamlibSettingsWindow::bringToFront() {
    dialog_->setWindowState(dialog_->windowState() & ~Qt::WindowMinimized);
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

}  // namespace OmniRig
