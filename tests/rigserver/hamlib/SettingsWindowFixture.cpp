#include "SettingsWindowFixture.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <iterator>

#include "HamlibSettingsWindow.h"

namespace OmniRig::Testing {

void SettingsWindowFixture::TearDown() {
    client.reset();
}

void SettingsWindowFixture::start(const char* settings) {
    if (settings != nullptr) {
        std::ofstream(settingsPath, std::ios::binary) << settings;
    }
    Dispatcher toEventLoop = [](std::function<void()> event) {
        QMetaObject::invokeMethod(qApp, std::move(event), Qt::QueuedConnection);
    };
    client = std::make_unique<TOmniRigX>(
        HamlibRigServer::factory(settingsPath, toEventLoop, HamlibSettingsWindow::factory()));
    client->OnVisibleChange = [this](TOmniRigX*) { events.push_back({DISPID_VisibleChange, 0}); };
    client->OnRigTypeChange = [this](TOmniRigX*, int32_t rig) {
        events.push_back({DISPID_RigTypeChange, rig});
    };
    client->OnStatusChange = [this](TOmniRigX*, int32_t rig) {
        events.push_back({DISPID_StatusChange, rig});
    };
    client->Connect();
}

HamlibSettingsDialog* SettingsWindowFixture::open() {
    client->SetSettingsDialogVisible(true);
    HamlibSettingsDialog* shown = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<HamlibSettingsDialog*>(widget);
            dialog && dialog->isVisible()) {
            EXPECT_EQ(shown, nullptr) << "a second settings window";
            shown = dialog;
        }
    }
    return shown;
}

std::string SettingsWindowFixture::fileContents() const {
    std::ifstream in(settingsPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int SettingsWindowFixture::count(int32_t dispId, int32_t rig) const {
    int n = 0;
    for (const Event& e : events) {
        n += e.dispId == dispId && e.rig == rig;
    }
    return n;
}

bool SettingsWindowFixture::waitForStatus(int number, int32_t code, int timeoutMs) {
    return QTest::qWaitFor([&] { return rig(number).StatusCode() == code; }, timeoutMs);
}

void SettingsWindowFixture::clickOk(HamlibSettingsDialog* dialog) {
    dialog->buttons()->button(QDialogButtonBox::Ok)->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog->saving(); }, 10'000));
}

void SettingsWindowFixture::clickApply(HamlibSettingsDialog* dialog) {
    dialog->buttons()->button(QDialogButtonBox::Apply)->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog->saving(); }, 10'000));
}

}  // namespace OmniRig::Testing
