// Bad input in the rig server's settings window is refused next to its field, and nothing is
// written.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <fstream>

#include "LoopbackSocket.h"
#include "ModelBox.h"
#include "RigSettingsPanel.h"
#include "SettingsWindowFixture.h"

using namespace OmniRig;
using namespace OmniRig::Testing;

namespace {

int firstSerialModel() {
    for (const auto& model : HamlibLibrary::models()) {
        if (model.port == HamlibLibrary::PortKind::Serial) {
            return model.number;
        }
    }
    return 0;
}

// A terminal device of our own that exists while the test runs, standing in for a radio's port.
class Pty {
public:
    Pty() : master_(::posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            path_ = ::ptsname(master_);
        }
    }
    ~Pty() {
        if (master_ >= 0) {
            ::close(master_);
        }
    }
    const std::string& path() const { return path_; }

private:
    int master_;
    std::string path_;
};

class SettingsInput : public SettingsWindowFixture {
protected:
    static constexpr const char* kSettings = "[DIVIZURE]\r\nOFFSET=10\r\n[RIG1]\r\nMODEL=0\r\n";

    void SetUp() override {
        SettingsWindowFixture::SetUp();
        start(kSettings);
        dialog = open();
        ASSERT_NE(dialog, nullptr);
        serialModel = firstSerialModel();
        ASSERT_NE(serialModel, 0);
        ASSERT_FALSE(pty.path().empty());
        notADevice = (directory / "plain-file").string();
        std::ofstream(notADevice) << "x";
    }

    // Sets a panel's fields; a model of 0, an empty port or a null poll or LO leaves that field.
    void enter(RigSettingsPanel* panel, int model, const std::string& port, const char* poll,
               const char* lo = nullptr) {
        if (model != 0) {
            panel->modelBox()->setModelNumber(model);
        }
        if (!port.empty()) {
            panel->portBox()->setEditText(QString::fromStdString(port));
        }
        if (poll != nullptr) {
            panel->pollEdit()->setText(poll);
        }
        if (lo != nullptr) {
            panel->loEdit()->setText(lo);
        }
    }

    HamlibSettingsDialog* dialog = nullptr;
    int serialModel = 0;
    Pty pty;
    std::string notADevice;
};

}  // namespace

TEST_F(SettingsInput, EachBadFieldIsRefusedWithItsMessageAndNothingIsWritten) {
    using Label = QLabel* (RigSettingsPanel::*)() const;
    struct Case {
        int model;
        std::string port;
        const char* poll;
        Label field;
        std::string message;
        const char* lo = nullptr;
    };
    const Case cases[] = {
        {2, "rig.local", nullptr, &RigSettingsPanel::portMessage,
         "Give the port after the host, as in 127.0.0.1:4532"},
        {2, "rig.local:", nullptr, &RigSettingsPanel::portMessage,
         "Give the port after the host, as in 127.0.0.1:4532"},
        {2, ":4532", nullptr, &RigSettingsPanel::portMessage,
         "Give the host before the port, as in 127.0.0.1:4532"},
        {2, "rig.local:65536", nullptr, &RigSettingsPanel::portMessage,
         "The port must be a number from 1 to 65535"},
        {2, "[::1]:0", nullptr, &RigSettingsPanel::portMessage,
         "The port must be a number from 1 to 65535"},
        {2, "rig.local:http", nullptr, &RigSettingsPanel::portMessage,
         "The port must be a number from 1 to 65535"},
        {2, "rig.local:4532", "49", &RigSettingsPanel::pollMessage,
         "The poll interval must be 50 to 500 ms"},
        {2, "rig.local:4532", "501", &RigSettingsPanel::pollMessage,
         "The poll interval must be 50 to 500 ms"},
        {2, "rig.local:4532", "fast", &RigSettingsPanel::pollMessage,
         "The poll interval must be 50 to 500 ms"},
        {serialModel, "/dev/zr-no-such-radio", "200", &RigSettingsPanel::portMessage,
         "No serial device at /dev/zr-no-such-radio"},
        {serialModel, notADevice, nullptr, &RigSettingsPanel::portMessage,
         notADevice + " is not a serial device"},
        {2, "rig.local:4532", nullptr, &RigSettingsPanel::loMessage,
         "The LO offset must be a whole number of Hz", "116 MHz"},
        // The Dummy's 150 kHz would come out above 2^31-1 Hz, and so would the rest of it.
        {1, "", nullptr, &RigSettingsPanel::loMessage,
         "With this model the LO offset must be -1499999999 to 2147333647 Hz", "2147483647"},
    };
    RigSettingsPanel* panel = dialog->panel(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.port + " / " + (c.poll ? c.poll : "") + " / " + (c.lo ? c.lo : ""));
        dialog->load();
        enter(panel, c.model, c.port, c.poll, c.lo);
        clickOk(dialog);
        QLabel* message = (panel->*c.field)();
        EXPECT_EQ(message->text().toStdString(), c.message);
        EXPECT_FALSE(message->isHidden());
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(fileContents(), kSettings);
        EXPECT_EQ(rig(1).TypeText(), "NONE");
    }

    // Put right, the message goes and the setting is saved.
    dialog->load();
    enter(panel, serialModel, pty.path(), "200");
    clickApply(dialog);
    EXPECT_TRUE(panel->portMessage()->isHidden());
    EXPECT_NE(fileContents(), kSettings);
}

TEST_F(SettingsInput, ATypedModelMustBeOneOfTheList) {
    RigSettingsPanel* panel = dialog->panel(1);
    panel->modelBox()->setEditText("Not a radio");
    clickOk(dialog);
    EXPECT_EQ(panel->modelMessage()->text(), "Choose a model from the list");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(fileContents(), kSettings);
}

TEST_F(SettingsInput, TwoRigsOnOneSerialDeviceAreRefused) {
    enter(dialog->panel(1), serialModel, pty.path(), nullptr);
    enter(dialog->panel(2), serialModel, pty.path(), nullptr);
    clickOk(dialog);
    EXPECT_EQ(dialog->panel(2)->portMessage()->text(), "Rig 1 is on this port already");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(fileContents(), kSettings);
}

TEST_F(SettingsInput, ATestNeverOpensASerialDeviceARigHasOpen) {
    enter(dialog->panel(1), serialModel, pty.path(), nullptr);
    clickApply(dialog);
    RigSettingsPanel* panel = dialog->panel(2);
    enter(panel, serialModel, pty.path(), nullptr);
    panel->testButton()->click();
    // Answered at once from the rig that runs on these settings.
    EXPECT_TRUE(panel->testResult()->text().startsWith("Rig 1 runs on these settings: "))
        << panel->testResult()->text().toStdString();
    EXPECT_TRUE(panel->testButton()->isEnabled());

    panel->speedBox()->setCurrentIndex(panel->speedBox()->count() - 1);
    panel->testButton()->click();
    EXPECT_EQ(panel->testResult()->text().toStdString(),
              "Rig 1 has " + pty.path() + " open: apply these settings to try them");
}

TEST_F(SettingsInput, BothRigsReachTheFileInOneReplacementOrNeitherDoes) {
    const int made = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(made, directory.path().c_str(), IN_CREATE), 0);
    enter(dialog->panel(1), 1, "", "100");
    enter(dialog->panel(2), 1, "", "300");
    std::filesystem::permissions(settingsPath, std::filesystem::perms::owner_read);
    clickOk(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->message()->text().toStdString(),
              "Unable to write to " + settingsPath.string());
    EXPECT_EQ(fileContents(), kSettings);
    EXPECT_EQ(rig(1).TypeText(), "NONE") << "neither rig is switched over";

    std::filesystem::permissions(settingsPath, std::filesystem::perms::owner_all);
    clickOk(dialog);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(fileContents(),
              "[DIVIZURE]\r\nOFFSET=10\r\n[RIG1]\r\nMODEL=1\r\nPOLL=100\r\n[RIG2]\r\nMODEL=1\r\n"
              "POLL=300\r\n");
    EXPECT_EQ(rig(1).TypeText(), "Dummy");
    // One temporary file made: one event, its name padded to 32 bytes.
    char events[4096];
    EXPECT_EQ(::read(made, events, sizeof events), ssize_t{sizeof(inotify_event) + 32});
    ::close(made);
}

TEST_F(SettingsInput, AShareOnAnAddressOtherComputersReachIsSavedOnlyAfterTheOperatorsYes) {
    const std::string port = std::to_string(freeLoopbackPort());
    const std::string network = "0.0.0.0:" + port;
    struct Case {
        std::string share;
        const char* poll;
        bool answer, asked, saved;
    };
    const Case cases[] = {{port, nullptr, false, false, true},
                          {network, nullptr, false, true, false},
                          {network, nullptr, true, true, true},
                          {network, "300", false, false, true}};  // confirmed before
    for (const Case& c : cases) {
        SCOPED_TRACE(c.share + (c.poll ? " poll" : ""));
        dialog = open();
        std::vector<QString> questions;
        dialog->setConfirm([&](const QString& q) { return questions.push_back(q), c.answer; });
        enter(dialog->panel(1), 1, "", c.poll);
        dialog->panel(1)->shareEdit()->setText(QString::fromStdString(c.share));
        clickOk(dialog);
        EXPECT_EQ(questions.size(), c.asked ? 1u : 0u);
        EXPECT_TRUE(questions.empty() || questions[0].contains("no password"));
        EXPECT_EQ(dialog->isVisible(), !c.saved);
        EXPECT_EQ(fileContents().find("SHARE=" + c.share + "\r\n") != std::string::npos, c.saved);
    }
}
