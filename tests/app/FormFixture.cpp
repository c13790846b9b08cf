#include "FormFixture.h"

#include <QCoreApplication>
#include <QTest>
#include <fstream>
#include <iterator>

#include "IniFile.h"

namespace fs = std::filesystem;
using namespace OmniRig;

FormFixture::FormFixture()
    : server(std::make_shared<Testing::ScriptedRigServer>()),
      prompter(std::make_shared<RecordingPrompter>()) {}

FormFixture::~FormFixture() {
    // The window saves into the directory as it goes.
    form_.reset();
}

FormEnvironment FormFixture::environment() {
    FormEnvironment env;
    env.arguments = arguments;
    env.workingDirectory = dir;
    env.prompter = prompter;
    if (withRigServer) {
        auto scripted = server;
        env.rigServer = [scripted](const fs::path&) { return scripted->factory(); };
    }
    env.instanceLockDirectory = dir;
    env.endProcess = [this] { ++endProcessCalls; };
    return env;
}

TForm1& FormFixture::start() {
    form_.reset();
    form_ = std::make_unique<TForm1>(environment());
    return *form_;
}

void FormFixture::closeForm() {
    form_->show();
    form_->close();
}

void FormFixture::writeIni(const std::string& text) const {
    settle();
    std::ofstream(ini(), std::ios::binary) << text;
}

void FormFixture::settle() const {
    if (form_) {
        form_->FinishSaving();
    }
}

std::string FormFixture::readIni() const {
    settle();
    std::ifstream in(ini(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string FormFixture::saved(const std::string& key) const {
    settle();
    return IniFile(ini()).ReadString("DIVIZURE", key, "<absent>");
}

void FormFixture::writeSettings(const std::string& offset, const std::string& shift,
                                const std::string& track, const std::string& master,
                                const std::string& slave, const std::string& slaveVfo) const {
    writeIni("[DIVIZURE]\nOFFSET=" + offset + "\nSHIFT=" + shift + "\nTRACK=" + track +
             "\nMASTER=" + master + "\nSLAVE=" + slave + "\nSLAVEVFO=" + slaveVfo + "\n");
}

void FormFixture::pick(QMenu* menu, const QString& caption) {
    menu->popup(QPoint(0, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    for (QAction* item : menu->actions()) {
        if (item->text() == caption) {
            // By the keyboard: Qt 6.8 takes a click only after the pointer has moved about.
            menu->setActiveAction(item);
            QTest::keyClick(menu, Qt::Key_Return);
            EXPECT_FALSE(menu->isVisible()) << "the pick closes the menu";
            return;
        }
    }
    menu->hide();
    FAIL() << "no item " << caption.toStdString();
}

void FormFixture::raiseParams(int rig, int32_t params) {
    server->raise(DISPID_ParamsChange, {Variant(int32_t{rig}), Variant(params)});
}

void FormFixture::raiseStatus(int rig) {
    server->raise(DISPID_StatusChange, {Variant(int32_t{rig})});
}
