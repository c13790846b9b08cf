#pragma once
// One rig's settings in the settings window: model, port, serial speed, poll interval and a
// transverter's LO offset, each with its message, and a test that opens the rig with them off
// the window's thread.

#include <QFutureWatcher>
#include <QGroupBox>
#include <QHash>
#include <optional>

#include "HamlibLibrary.h"
#include "RigConfig.h"
#include "RigProbe.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace OmniRig {

class ModelBox;

class RigSettingsPanel : public QGroupBox {
    Q_OBJECT

public:
    RigSettingsPanel(int rigNumber, QWidget* parent = nullptr);

    int rigNumber() const { return rigNumber_; }
    // Shows these settings, forgetting every message; `problem` says why the file's section
    // could not be used.
    void load(const RigConfig& config);
    // The settings as shown, unchecked.
    RigConfig current() const;
    // Whether the operator changed anything since the last load or save.
    bool changed() const { return current() != shown_; }
    void markSaved() { shown_ = current(); }
    // The settings as last loaded or saved.
    const RigConfig& saved() const { return shown_; }
    // The settings when every field is good; otherwise nothing, each bad field saying why.
    std::optional<RigConfig> checked();
    void showPortProblem(const QString& message);
    void clearMessages();
    HamlibLibrary::PortKind portKind() const { return kind_; }

    // Opens the rig with these settings on a pool thread; the result shows when it is back.
    void startTest(const RigConfig& config);
    void showTestResult(const QString& text);

    ModelBox* modelBox() const { return model_; }
    QComboBox* portBox() const { return port_; }
    QComboBox* speedBox() const { return speed_; }
    QLineEdit* pollEdit() const { return poll_; }
    QLineEdit* shareEdit() const { return share_; }
    QComboBox* loPresetBox() const { return loPreset_; }
    QLineEdit* loEdit() const { return lo_; }
    QCheckBox* loInvertedBox() const { return loInverted_; }
    QPushButton* testButton() const { return test_; }
    QLabel* modelMessage() const { return modelMessage_; }
    QLabel* portMessage() const { return portMessage_; }
    QLabel* pollMessage() const { return pollMessage_; }
    QLabel* shareMessage() const { return shareMessage_; }
    QLabel* loMessage() const { return loMessage_; }
    QLabel* testResult() const { return testResult_; }
    QLabel* fileProblem() const { return fileProblem_; }

signals:
    void testRequested(int rigNumber);

private:
    void modelChanged();
    void fillPorts(HamlibLibrary::PortKind kind);
    void fillSpeeds(const HamlibLibrary::Model& model, int speed);
    // Shows the preset that the LO field holds, or "Other".
    void showPreset();
    static void say(QLabel* label, const QString& message);

    int rigNumber_;
    ModelBox* model_;
    QComboBox* port_;
    QComboBox* speed_;
    QLineEdit* poll_;
    QLineEdit* share_;
    QComboBox* loPreset_;
    QLineEdit* lo_;
    QCheckBox* loInverted_;
    QPushButton* test_;
    QLabel* modelMessage_;
    QLabel* portMessage_;
    QLabel* pollMessage_;
    QLabel* shareMessage_;
    QLabel* loMessage_;
    QLabel* testResult_;
    QLabel* fileProblem_;

    RigConfig loaded_;
    RigConfig shown_;
    HamlibLibrary::PortKind kind_ = HamlibLibrary::PortKind::None;
    // What the port field held for each kind of port, so that trying another model and coming
    // back keeps what was typed.
    QHash<int, QString> portByKind_;
    QFutureWatcher<RigProbe> probe_;
    Transverter probed_;  // the test's, to show what it read on the air
};

}  // namespace OmniRig
