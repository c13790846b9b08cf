#pragma once
// The Hamlib rig server's settings window: rig 1 and rig 2 side by side. OK and Apply save the
// rigs the operator changed into their sections of the settings file, in one replacement of the
// file off the window's thread, and then switch those rigs over; Cancel leaves everything as it
// was.

#include <QDialog>
#include <QFutureWatcher>
#include <functional>
#include <optional>

#include "RigConfig.h"

class QDialogButtonBox;
class QLabel;

namespace OmniRig {

class HamlibRigServer;
class RigSettingsPanel;

class HamlibSettingsDialog : public QDialog {
    Q_OBJECT

public:
    // Asks the operator a Yes or No question; true for Yes.
    using Confirm = std::function<bool(const QString& question)>;

    explicit HamlibSettingsDialog(HamlibRigServer& server, QWidget* parent = nullptr);
    ~HamlibSettingsDialog() override;

    // Shows the settings file's sections afresh.
    void load();
    // Starts saving the changed rigs and returns; they are switched over once the file has them,
    // and the window closes then when `close` says so. False, with nothing written, when a field
    // is bad or the operator does not confirm a share beyond this computer.
    bool apply(bool close = false);
    // Whether a save is under way: the window's buttons wait for it.
    bool saving() const { return saving_; }
    void setConfirm(Confirm confirm) { confirm_ = std::move(confirm); }

    RigSettingsPanel* panel(int rigNumber) const { return rigNumber == 1 ? rig1_ : rig2_; }
    QDialogButtonBox* buttons() const { return buttons_; }
    QLabel* message() const { return message_; }

protected:
    void reject() override;

private:
    // Whether the operator agrees to share the changed rigs as they stand to other computers.
    bool shareConfirmed(const std::optional<RigConfig> (&configs)[2]);
    void save(const std::optional<RigConfig> (&configs)[2], bool close);
    void saveFinished();
    void test(int rigNumber);
    // Whether another panel or a running rig holds the serial device of this one's settings.
    bool portTaken(RigSettingsPanel& panel, const RigSettingsPanel& other);
    void answerFromRunningRig(RigSettingsPanel& panel, int rigNumber);

    HamlibRigServer& server_;
    RigSettingsPanel* rig1_;
    RigSettingsPanel* rig2_;
    QLabel* message_;
    QDialogButtonBox* buttons_;
    Confirm confirm_;
    QFutureWatcher<QString> save_;
    bool saving_ = false;
    bool closeWhenSaved_ = false;
};

}  // namespace OmniRig
