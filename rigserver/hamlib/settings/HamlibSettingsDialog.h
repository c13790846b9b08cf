#pragma once
// The Hamlib rig server's settings window: rig 1 and rig 2 side by side. OK and Apply save the
// rigs the operator changed into their sections of the settings file and switch those rigs
// over at once; Cancel leaves everything as it was.

#include <QDialog>

class QDialogButtonBox;
class QLabel;

namespace OmniRig {

class HamlibRigServer;
class RigSettingsPanel;

class HamlibSettingsDialog : public QDialog {
    Q_OBJECT

public:
    explicit HamlibSettingsDialog(HamlibRigServer& server, QWidget* parent = nullptr);

    // Shows the settings file's sections afresh.
    void load();
    // Saves and applies the changed rigs; false, with nothing written, when a field is bad.
    bool apply();

    RigSettingsPanel* panel(int rigNumber) const { return rigNumber == 1 ? rig1_ : rig2_; }
    QDialogButtonBox* buttons() const { return buttons_; }
    QLabel* message() const { return message_; }

private:
    void test(int rigNumber);
    // Whether another panel or a running rig holds the serial device of this one's settings.
    bool portTaken(RigSettingsPanel& panel, const RigSettingsPanel& other);
    void answerFromRunningRig(RigSettingsPanel& panel, int rigNumber);

    HamlibRigServer& server_;
    RigSettingsPanel* rig1_;
    RigSettingsPanel* rig2_;
    QLabel* message_;
    QDialogButtonBox* buttons_;
};

}  // namespace OmniRig
