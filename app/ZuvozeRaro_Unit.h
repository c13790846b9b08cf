#pragma once
// TForm1: the main window. It shows both rigs, makes the slave follow the master, moves
// frequencies between the rigs, and keeps the operator's six settings in the settings file.
// Its handlers are the program's behaviour; everything runs on the window's thread.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSystemTrayIcon>
#include <filesystem>
#include <memory>
#include <optional>

#include "AboutDlg.h"
#include "ErrorDisplay.h"
#include "FormEnvironment.h"
#include "IniFile.h"
#include "InstanceLock.h"
#include "LEDButton.h"
#include "RigPanel.h"
#include "SettingsSaver.h"
#include "TOmniRigX.h"
#include "TrackBar.h"

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(FormEnvironment environment);
    ~TForm1() override;

    // Controls, as laid out on the window.
    TRigPanel* RigPanel1;
    TRigPanel* RigPanel2;
    TLEDButton* TrackButton;
    QGroupBox* Master;
    QComboBox* MasterList;
    TLEDButton* OffsetButton;
    QLabel* OffsetHz;
    TTrackBar* OffsetTrack;
    QPushButton* R1toR2;
    QPushButton* RSwap;
    QPushButton* R2toR1;
    QGroupBox* Slave;
    QRadioButton* SlaveVFOA;
    QRadioButton* SlaveVFOB;
    QComboBox* SlaveList;

    // The menu bar.
    QMenu* File1;
    QAction* Exit1;
    QMenu* Edit1;
    QAction* Settings1;
    QAction* Offset1;
    QAction* Track1;
    QMenu* Help1;
    QAction* About1;

    // Start-up, settings and shutdown.
    void FormCreate(QObject* Sender);
    void SaveSettings();
    void FormClose(QObject* Sender);
    // Waits until the saves asked for are on disk and shows a failure among them.
    void FinishSaving();
    // True when start-up refused to go on and the program is to end.
    bool StartupAborted() const { return startupAborted_; }

    // Rig status, type and parameter display.
    void RigServerVisibleChange(OmniRig::TOmniRigX* Sender);
    void RigServerRigTypeChange(OmniRig::TOmniRigX* Sender, int32_t RigNumber);
    void RigServerStatusChange(OmniRig::TOmniRigX* Sender, int32_t RigNumber);
    void RigServerParamsChange(OmniRig::TOmniRigX* Sender, int32_t RigNumber, int32_t Params);
    static void ComputeFreq(int32_t frequency, int32_t& kiloHertz, int32_t& tens);

    // Tracking and offset.
    void TrackButtonClick(QObject* Sender);
    void OffsetButtonClick(QObject* Sender);
    void OffsetTrackChange(QObject* Sender);
    void OffsetHzClick(QObject* Sender);
    void MasterListClick(QObject* Sender);
    void SlaveListClick(QObject* Sender);
    void SlaveVFOAClick(QObject* Sender);
    void SlaveVFOBClick(QObject* Sender);
    void StampFreq(const OmniRig::RigObject& master, const OmniRig::RigObject& slave,
                   int32_t presentVfo, int32_t targetVfo);
    // The offset the transfers apply, in Hz.
    int32_t ActiveOffset() const;

    // Transfers between the rigs.
    void R1toR2Click(QObject* Sender);
    void R2toR1Click(QObject* Sender);
    void RSwapClick(QObject* Sender);
    void R1toR2MouseDown(QObject* Sender);
    void R1toR2MouseUp(QObject* Sender);

    // Tray icon, system menu and window commands.
    void TrayIconNotify(int mouseMessage);
    void SystemMenuCommand(int commandId);
    void ShowAbout(QObject* Sender);
    void ConfirmExit();
    // The session ends (a logout, a stop, Ctrl+C): as the exit command, without its question.
    void EndSession();
    void Edit1Click(QObject* Sender);
    void Settings1Click(QObject* Sender);
    void About1Click(QObject* Sender);
    void Exit1Click(QObject* Sender);
    void Offset1Click(QObject* Sender);
    void Track1Click(QObject* Sender);

    // Custom replies and byte-array conversions.
    void RigServerCustomReply(OmniRig::TOmniRigX* Sender, int32_t RigNumber,
                              const OmniRig::Variant& Command, const OmniRig::Variant& Reply);
    QString SafeArrayToHex(const OmniRig::Variant& value);
    void TextToSafeArray(const QString& text, OmniRig::Variant& value);
    void HexToSafeArray(const QString& hex, OmniRig::Variant& value);

    // The run-time objects the window owns.
    QSystemTrayIcon* TrayIcon = nullptr;
    QMenu* TrayMenu = nullptr;
    QMenu* SystemMenu = nullptr;
    TAboutDlg* AboutDialog = nullptr;
    std::filesystem::path SettingsPath;
    std::unique_ptr<OmniRig::TOmniRigX> RigServer;
    std::unique_ptr<InstanceLock> InstanceMapping;
    std::optional<IniFile> SettingsFile;

    // The line that tells the operator of a rig event that failed.
    QString RigEventErrorText() const;

    static constexpr int WM_LBUTTONDOWN = 513;
    static constexpr int WM_RBUTTONDOWN = 516;
    static constexpr int SC_QUIT = 334;
    static constexpr int SC_TRACK = 444;
    static constexpr int SC_RIGSERVER_SETTINGS = 555;
    static constexpr int SC_ABOUT = 666;
    static constexpr int SC_OFFSET = 777;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void createControls();
    void createMenu();
    void connectHandlers();
    template <typename F>
    void entry(F&& handler) {
        errors_.Guard(std::forward<F>(handler));
    }

    // Start-up's steps that touch the world outside the window.
    bool ClaimSingleInstance();
    bool CreateRigServer();
    void AttachRigServerEvents();
    void FillRigLists();
    void FirstDisplay();
    std::filesystem::path DefaultSettingsPath() const;
    std::filesystem::path SettingsPathFromCommandLine() const;
    void ApplyListIndex(QComboBox* list, int index);
    int SavedListIndex(const QComboBox* list, int pending) const;

    // Window furniture.
    void ExtendSystemMenu();
    void BuildTrayMenu();
    void AddTrayIcon();
    void CreateAboutBox();

    // Rig selection and the tracking step.
    OmniRig::RigObject RigForIndex(int itemIndex);
    std::optional<OmniRig::RigObject> SelectRig(int32_t RigNumber, TRigPanel*& panel);
    void TrackingStep();
    bool TransferAllowed();
    // A VFO's frequency in its two display labels.
    void ShowFrequency(QLabel* whole, QLabel* decimals, int32_t frequency);
    // False, with a message naming the rig, for a frequency of 0 Hz (not known).
    bool FrequencyKnown(int32_t RigNumber, int32_t frequency);
    void rigEvent(int32_t RigNumber, const std::function<void()>& handler);
    // Clears the line about a rig that has answered in good order.
    void RigHeardFrom(int32_t RigNumber);

    FormEnvironment env_;
    ErrorDisplay errors_;
    SettingsSaver settingsSaver_;
    bool startupAborted_ = false;
    // While start-up restores the settings, the saves its handlers ask for wait until this copy
    // knows it is the only one: a refused copy must not write the running copy's file.
    bool startingUp_ = false;
    bool startupSavePending_ = false;
    // Master and slave choices read at start-up; until the lists are filled they are what a save
    // writes, so a start without the rig server keeps the operator's choice.
    int pendingMaster_ = -1;
    int pendingSlave_ = -1;
    bool listsFilled_ = false;
    QString rigEventError_[2];
    QLabel* rigEventLine_ = nullptr;
};
