#pragma once
// A main window on the offscreen platform with a scripted rig server, a recording prompter and a
// settings file, lock and working directory of its own.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "RecordingPrompter.h"
#include "ScratchDirectory.h"
#include "ScriptedRigServer.h"
#include "ZuvozeRaro_Unit.h"

class FormFixture : public ::testing::Test {
protected:
    FormFixture();
    ~FormFixture() override;

    FormEnvironment environment();
    TForm1& start();
    TForm1& form() { return *form_; }
    // Closes the window the way the platform's close request does.
    void closeForm();

    // Waits until the window's saves are on disk and a failure among them is shown.
    void settle() const;
    std::filesystem::path ini() const { return dir / "ZUVOZERARO.INI"; }
    void writeIni(const std::string& text) const;
    std::string readIni() const;
    // A key of the window's section as the file holds it now.
    std::string saved(const std::string& key) const;
    void writeSettings(const std::string& offset, const std::string& shift,
                       const std::string& track, const std::string& master,
                       const std::string& slave, const std::string& slaveVfo) const;

    // Opens the menu and picks the item with that caption, as the operator does.
    void pick(QMenu* menu, const QString& caption);

    // Raises a rig event through the rig server, as it would arrive from the event loop.
    void raiseParams(int rig, int32_t params);
    void raiseStatus(int rig);

    OmniRig::Testing::ScratchDirectory scratch{"form"};
    const std::filesystem::path dir = scratch.path();
    std::shared_ptr<OmniRig::Testing::ScriptedRigServer> server;
    std::shared_ptr<RecordingPrompter> prompter;
    QStringList arguments;
    bool withRigServer = true;
    int endProcessCalls = 0;

private:
    std::unique_ptr<TForm1> form_;
};
