// The rig server's settings window on the offscreen platform, on a real rig server and, where a
// radio is needed, real rigctld peers.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <set>

#include "ModelBox.h"
#include "ParamBits.h"
#include "RigSettingsPanel.h"
#include "RigctldPeer.h"
#include "SettingsWindowFixture.h"

using namespace OmniRig;
using namespace OmniRig::Testing;

namespace {

// The number of models `rigctl -l` lists: Hamlib's own count, from outside the program.
int rigctlModelCount() {
    FILE* list = ::popen("rigctl -l 2>/dev/null", "r");
    if (list == nullptr) {
        return -1;
    }
    int models = 0;
    char line[512];
    while (std::fgets(line, sizeof line, list) != nullptr) {
        int number = 0;
        models += std::sscanf(line, " %d", &number) == 1;
    }
    ::pclose(list);
    return models;
}

class RigServerSettings : public SettingsWindowFixture {};

}  // namespace

TEST_F(RigServerSettings, TheModelListHoldsEveryModelHamlibKnowsAfterNoneAndFiltersByTyping) {
    start(nullptr);
    HamlibSettingsDialog* dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Rig server settings");
    ModelBox* box = dialog->panel(1)->modelBox();

    EXPECT_EQ(box->itemText(0), "None");
    EXPECT_EQ(box->itemData(0).toInt(), 0);
    EXPECT_EQ(box->count(), static_cast<int>(HamlibLibrary::models().size()) + 1);
    EXPECT_EQ(box->count(), rigctlModelCount() + 1);
    std::set<int> numbers;
    for (int i = 0; i < box->count(); ++i) {
        numbers.insert(box->itemData(i).toInt());
    }
    EXPECT_EQ(static_cast<int>(numbers.size()), box->count());
    // With no section the rig is the Dummy, and the window says so.
    EXPECT_EQ(box->currentText(), "Hamlib Dummy (1)");

    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), "net RIG");
    EXPECT_EQ(box->completer()->completionCount(), 1);
    EXPECT_EQ(box->completer()->currentCompletion(), "Hamlib NET rigctl (2)");
    EXPECT_EQ(box->modelNumber(), std::nullopt);
}

TEST_F(RigServerSettings, OkSwitchesTheChangedRigAloneLiveAndWritesOnlyItsSection) {
    RigctldPeer first;
    RigctldPeer second;
    ASSERT_EQ(second.command("F 7050000").code, 0);
    const std::string before =
        "; station profile\r\n[RIG2]\r\nMODEL=1\r\nPOLL=50\r\n\r\n[DIVIZURE]\r\nOFFSET=250\r\n"
        "TRACK=TRUE\r\n[RIG1]\r\nmodel = 1\r\npoll=100\r\n";
    start(before.c_str());
    ASSERT_TRUE(waitForStatus(1, ST_ONLINE));
    ASSERT_TRUE(waitForStatus(2, ST_ONLINE));
    events.clear();

    HamlibSettingsDialog* dialog = open();
    ASSERT_NE(dialog, nullptr);
    RigSettingsPanel* panel = dialog->panel(2);
    panel->modelBox()->setModelNumber(2);
    // A network model starts on rigctld's own port.
    EXPECT_EQ(panel->portBox()->currentText(), "127.0.0.1:4532");
    EXPECT_FALSE(panel->speedBox()->isEnabled());
    panel->portBox()->setEditText(QString::fromStdString(first.address()));
    panel->pollEdit()->setText("200");
    clickOk(dialog);

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(fileContents(),
              "; station profile\r\n[RIG2]\r\nMODEL=2\r\nPOLL=200\r\nPORT=" + first.address() +
                  "\r\n\r\n[DIVIZURE]\r\nOFFSET=250\r\nTRACK=TRUE\r\n[RIG1]\r\nmodel = 1\r\n"
                  "poll=100\r\n");
    EXPECT_EQ(rig(2).TypeText(), "NET rigctl");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return count(DISPID_StatusChange, 2) >= 2 && rig(2).StatusCode() == ST_ONLINE; },
        10'000));
    EXPECT_EQ(count(DISPID_RigTypeChange, 2), 1);
    EXPECT_EQ(count(DISPID_VisibleChange), 2);
    EXPECT_FALSE(client->SettingsDialogVisible());

    // The same model on another rigctld: the rig is replaced all the same, and reads the new one.
    dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->panel(2)->portBox()->currentText(), QString::fromStdString(first.address()));
    dialog->panel(2)->portBox()->setEditText(QString::fromStdString(second.address()));
    clickApply(dialog);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return count(DISPID_StatusChange, 2) >= 4 && rig(2).Frequency() == 7'050'000; },
        10'000));
    EXPECT_EQ(count(DISPID_RigTypeChange, 2), 2);
    // A second Apply with nothing changed since touches nothing.
    const std::string applied = fileContents();
    clickApply(dialog);
    EXPECT_EQ(fileContents(), applied);
    EXPECT_EQ(count(DISPID_RigTypeChange, 2), 2);

    EXPECT_EQ(count(DISPID_RigTypeChange, 1), 0);
    EXPECT_EQ(count(DISPID_StatusChange, 1), 0);
    EXPECT_EQ(rig(1).StatusCode(), ST_ONLINE);
}

TEST_F(RigServerSettings, ATransverterPresetFillsTheLoAndOkPutsTheRigOnTheAir) {
    RigctldPeer peer;
    ASSERT_EQ(peer.command("F 28150000").code, 0);
    const std::string before = "[RIG1]\nMODEL=2\nPORT=" + peer.address() + "\n[RIG2]\nMODEL=0\n";
    start(before.c_str());
    ASSERT_TRUE(waitForStatus(1, ST_ONLINE));
    events.clear();
    HamlibSettingsDialog* dialog = open();
    ASSERT_NE(dialog, nullptr);
    RigSettingsPanel* panel = dialog->panel(1);
    EXPECT_EQ(panel->loPresetBox()->currentText(), "None");
    panel->loInvertedBox()->setChecked(true);
    QTest::keyClick(panel->loPresetBox(), Qt::Key_Down);
    EXPECT_EQ(panel->loPresetBox()->currentText(), "2 m on a 28 MHz IF");
    EXPECT_EQ(panel->loEdit()->text(), "116000000");
    EXPECT_FALSE(panel->loInvertedBox()->isChecked()) << "the presets mix upright";
    clickOk(dialog);

    EXPECT_EQ(fileContents(),
              "[RIG1]\nMODEL=2\nPORT=" + peer.address() + "\nLO=116000000\n[RIG2]\nMODEL=0\n");
    // Off and on-line again on the new settings, reading the radio's 28.150 MHz on the air.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return count(DISPID_StatusChange, 1) >= 2 && rig(1).StatusCode() == ST_ONLINE &&
                   rig(1).Frequency() == 144'150'000;
        },
        10'000));

    // Shown again the preset is named, until the field holds a value of no preset.
    dialog = open();
    ASSERT_NE(dialog, nullptr);
    panel = dialog->panel(1);
    EXPECT_EQ(panel->loPresetBox()->currentText(), "2 m on a 28 MHz IF");
    panel->loEdit()->setText("116000100");
    EXPECT_EQ(panel->loPresetBox()->currentText(), "Other");
}

TEST_F(RigServerSettings, CancelAndAnUnchangedOkWriteNothingAndChangeNoRig) {
    const char* before = "[DIVIZURE]\nSHIFT=1\n[RIG1]\nMODEL = 1\nPOLL=0100\n[RIG2]\nMODEL=0\n";
    start(before);
    HamlibSettingsDialog* dialog = open();
    ASSERT_NE(dialog, nullptr);
    RigSettingsPanel* panel = dialog->panel(1);
    EXPECT_EQ(panel->pollEdit()->text(), "100");
    EXPECT_EQ(dialog->panel(2)->modelBox()->currentText(), "None");
    panel->modelBox()->setModelNumber(2);
    panel->portBox()->setEditText("10.0.0.7:4532");
    dialog->panel(2)->modelBox()->setModelNumber(1);
    dialog->buttons()->button(QDialogButtonBox::Cancel)->click();

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(fileContents(), before);
    EXPECT_EQ(rig(1).TypeText(), "Dummy");
    EXPECT_EQ(rig(2).TypeText(), "NONE");
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(DISPID_VisibleChange) == 2; }, 5'000));
    EXPECT_FALSE(client->SettingsDialogVisible());

    // Shown again it holds the file's settings, not the ones cancelled.
    dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->panel(1)->modelBox()->modelNumber(), 1);
    EXPECT_EQ(dialog->panel(2)->modelBox()->modelNumber(), 0);
    clickOk(dialog);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(fileContents(), before);
    QCoreApplication::processEvents();
    EXPECT_EQ(count(DISPID_RigTypeChange, 1) + count(DISPID_RigTypeChange, 2), 0);
}

TEST_F(RigServerSettings, TheOperatorsCloseAndASecondShowGoThroughTheServer) {
    start(nullptr);
    HamlibSettingsDialog* dialog = open();
    ASSERT_NE(dialog, nullptr);
    dialog->showMinimized();
    ASSERT_TRUE(dialog->isMinimized());
    // Shown again while open: the same window, restored and in front, and no second event.
    EXPECT_EQ(open(), dialog);
    EXPECT_FALSE(dialog->isMinimized());
    QCoreApplication::processEvents();
    EXPECT_EQ(count(DISPID_VisibleChange), 1);

    dialog->close();  // the title bar's close
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(DISPID_VisibleChange) == 2; }, 5'000));
    EXPECT_FALSE(client->SettingsDialogVisible());

    EXPECT_EQ(open(), dialog);
    client->SetSettingsDialogVisible(false);
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(DISPID_VisibleChange) == 4; }, 5'000));
    QCoreApplication::processEvents();
    EXPECT_EQ(count(DISPID_VisibleChange), 4);
}

TEST_F(RigServerSettings, TheTestButtonReportsTheFrequencyOrTheErrorWithoutHoldingUpTheWindow) {
    RigctldPeer peer;
    RigctldPeer gone;
    const std::string goneAddress = gone.address();
    gone.kill();
    ASSERT_EQ(peer.command("F 7050000").code, 0);
    const char* before = "[RIG1]\nMODEL=0\n[RIG2]\nMODEL=0\n";
    start(before);
    HamlibSettingsDialog* dialog = open();
    ASSERT_NE(dialog, nullptr);
    RigSettingsPanel* panel = dialog->panel(1);
    EXPECT_FALSE(panel->testButton()->isEnabled());  // nothing to test with None
    panel->modelBox()->setModelNumber(2);

    struct Case {
        std::string port;
        QString result;
    };
    const Case cases[] = {
        {peer.address(), "On-line, 7050.00 kHz"},
        {goneAddress, QString::fromStdString("Port is not available: " + goneAddress)},
    };
    for (const Case& c : cases) {
        panel->portBox()->setEditText(QString::fromStdString(c.port));
        panel->testButton()->click();
        EXPECT_EQ(panel->testResult()->text(), "Testing…");
        EXPECT_FALSE(panel->testButton()->isEnabled());
        ASSERT_TRUE(QTest::qWaitFor([&] { return panel->testButton()->isEnabled(); }, 10'000));
        EXPECT_TRUE(panel->testResult()->text().startsWith(c.result))
            << panel->testResult()->text().toStdString();
    }
    EXPECT_EQ(fileContents(), before);
    EXPECT_EQ(rig(1).TypeText(), "NONE");
}

TEST_F(RigServerSettings, AnOpenSettingsWindowDoesNotKeepTheProgramRunning) {
    QWidget mainWindow;
    mainWindow.show();
    start(nullptr);
    ASSERT_NE(open(), nullptr);
    // The program's event loop, as main() runs it, ended by closing the main window alone.
    QTimer::singleShot(0, &mainWindow, [&] { mainWindow.close(); });
    QTimer keptRunning;
    keptRunning.setSingleShot(true);
    QObject::connect(&keptRunning, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    keptRunning.start(5'000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
}

TEST_F(RigServerSettings, ASettingsPathThatCannotBeReadRunsTheDummiesAndSaysWhy) {
    std::filesystem::create_directories(settingsPath);
    start(nullptr);
    EXPECT_EQ(rig(1).TypeText(), "Dummy");
    HamlibSettingsDialog* dialog = open();
    ASSERT_NE(dialog, nullptr);
    const QString path = QString::fromStdString(settingsPath.string());
    EXPECT_EQ(dialog->message()->text(), "Unable to read " + path + ": Is a directory");
    dialog->panel(1)->modelBox()->setModelNumber(2);
    dialog->panel(1)->portBox()->setEditText("127.0.0.1:4532");
    clickOk(dialog);
    EXPECT_TRUE(dialog->isVisible()) << "nothing was saved, so the window stays";
    EXPECT_EQ(dialog->message()->text(), "Unable to read " + path + ": Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(settingsPath));
}
