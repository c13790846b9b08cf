// The menu bar, the tray icon and menu, the system menu, the About command and the exit.

#include <QTest>

#include "FormFixture.h"
#include "ParamBits.h"

namespace fs = std::filesystem;
using namespace OmniRig;

namespace {

class WindowCommands : public FormFixture {
protected:
    QStringList captions(QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions()) {
            out << (a->isSeparator() ? "-" : a->text() + " " + a->data().toString());
        }
        return out;
    }
};

// Records whether the tray icon was still shown when the window closed.
class CloseWatcher : public QObject {
public:
    CloseWatcher(TForm1& form) : form_(form) { form.installEventFilter(this); }
    bool closed = false;
    bool iconShownAtClose = true;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            closed = true;
            iconShownAtClose = form_.TrayIcon->isVisible();
        }
        return false;
    }

private:
    TForm1& form_;
};

}  // namespace

TEST_F(WindowCommands, CancellingTheExitLeavesTheProgramRunningWithItsIcon) {
    TForm1& f = start();
    f.show();
    prompter->answers = {IDCANCEL, IDCANCEL, IDCANCEL};
    f.Exit1->trigger();
    pick(f.TrayMenu, "Exit");
    pick(f.SystemMenu, "&Quit\tAlt+F4");
    ASSERT_EQ(prompter->messages.size(), 3u) << "every route asks";
    for (const auto& message : prompter->messages) {
        EXPECT_EQ(message.text, "Do you really want to exit?");
        EXPECT_EQ(message.caption, "Warning!");
        EXPECT_EQ(message.buttons, MessageButtons::OkCancel);
        EXPECT_EQ(message.icon, MessageIcon::None);
    }
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(f.TrayIcon->isVisible());
    EXPECT_EQ(endProcessCalls, 0);
}

TEST_F(WindowCommands, ConfirmedExitRemovesTheIconBeforeClosingAndSaves) {
    TForm1& f = start();
    f.show();
    CloseWatcher watcher(f);
    f.OffsetTrack->SetPosition(321);
    settle();
    fs::remove(ini());
    pick(f.SystemMenu, "&Quit\tAlt+F4");
    EXPECT_TRUE(watcher.closed);
    EXPECT_FALSE(watcher.iconShownAtClose);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(saved("OFFSET"), "321");
    EXPECT_EQ(endProcessCalls, 1);
}

TEST_F(WindowCommands, EveryRouteToTrackOffsetAndAboutReachesTheSameHandlerAndSaves) {
    TForm1& f = start();
    const std::vector<std::function<void()>> track = {
        [&] { f.TrackButton->click(); }, [&] { f.Track1->trigger(); },
        [&] { pick(f.TrayMenu, "Track"); }, [&] { pick(f.SystemMenu, "Track"); }};
    bool on = false;
    for (const auto& route : track) {
        settle();
        fs::remove(ini());
        route();
        on = !on;
        EXPECT_EQ(f.TrackButton->LEDOn(), on);
        EXPECT_EQ(f.Master->isHidden(), !on);
        EXPECT_EQ(saved("TRACK"), on ? "TRUE" : "FALSE");
    }
    const std::vector<std::function<void()>> offset = {
        [&] { f.OffsetButton->click(); }, [&] { f.Offset1->trigger(); },
        [&] { pick(f.TrayMenu, "Offset"); }, [&] { pick(f.SystemMenu, "Offset"); }};
    on = false;
    for (const auto& route : offset) {
        settle();
        fs::remove(ini());
        route();
        on = !on;
        EXPECT_EQ(f.OffsetButton->LEDOn(), on);
        EXPECT_EQ(f.OffsetTrack->isHidden(), !on);
        EXPECT_EQ(saved("SHIFT"), on ? "TRUE" : "FALSE");
    }
    const std::vector<std::function<void()>> about = {[&] { f.About1->trigger(); },
                                                      [&] { pick(f.TrayMenu, "About"); },
                                                      [&] { pick(f.SystemMenu, "&About..."); }};
    for (const auto& route : about) {
        settle();
        fs::remove(ini());
        route();
        settle();
        EXPECT_TRUE(fs::exists(ini())) << "the About command saves after the box closed";
    }
    EXPECT_EQ(prompter->dialogs, (std::vector<QString>(3, "Korvex Plus Using OmniRig")));
}

TEST_F(WindowCommands, EveryRouteToTheRigServerSettingsShowsIt) {
    TForm1& f = start();
    server->clearCalls();
    f.Settings1->trigger();
    pick(f.TrayMenu, "OmniRig Settings");
    pick(f.SystemMenu, "OmniRig Settings");
    EXPECT_EQ(server->calls, (std::vector<std::string>(3, "SettingsDialogVisible=1")));

    server->failCall("SettingsDialogVisible=", E_FAILURE, "No settings window");
    f.Settings1->trigger();
    ASSERT_EQ(prompter->messages.size(), 1u);
    EXPECT_EQ(prompter->messages[0].text, "No settings window.");
}

TEST_F(WindowCommands, TrayAndSystemMenusHoldTheirItemsInOrder) {
    TForm1& f = start();
    EXPECT_EQ(f.TrayIcon->toolTip(), "ZuvozeRaro");
    EXPECT_FALSE(f.TrayIcon->icon().isNull());
    EXPECT_EQ(captions(f.TrayMenu), (QStringList{"1>2 ", "2>1 ", "1<>2 ", "OmniRig Settings ",
                                                 "Track ", "Offset ", "About ", "Exit "}));
    EXPECT_EQ(captions(f.SystemMenu),
              (QStringList{"&Move 61456", "&Size 61440", "Mi&nimize 61472", "Ma&ximize 61488", "-",
                           "&Quit\tAlt+F4 334", "-", "Track 444", "OmniRig Settings 555",
                           "Offset 777", "&About... 666"}));
}

TEST_F(WindowCommands, EditMenuChecksShowTheLampsWhenItOpens) {
    TForm1& f = start();
    f.OffsetButton->click();
    f.Edit1Click(f.Edit1);
    EXPECT_TRUE(f.Offset1->isChecked());
    EXPECT_FALSE(f.Track1->isChecked());
    f.OffsetButton->click();
    f.TrackButton->click();
    EXPECT_TRUE(f.Offset1->isChecked()) << "not updated until the menu opens again";
    f.Edit1Click(f.Edit1);
    EXPECT_FALSE(f.Offset1->isChecked());
    EXPECT_TRUE(f.Track1->isChecked());
}

TEST_F(WindowCommands, OnlyARightPressOnTheTrayIconRaisesTheWindowAndOpensTheMenu) {
    TForm1& f = start();
    f.showMinimized();
    f.TrayIconNotify(TForm1::WM_LBUTTONDOWN);
    EXPECT_FALSE(f.TrayMenu->isVisible());
    EXPECT_TRUE(f.isMinimized());
    f.TrayIconNotify(TForm1::WM_RBUTTONDOWN);
    EXPECT_TRUE(f.TrayMenu->isVisible());
    EXPECT_FALSE(f.isMinimized());
    f.TrayMenu->hide();
}
