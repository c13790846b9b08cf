#pragma once
// The window on the Hamlib rig server, its events queued onto the Qt event loop as the program
// runs it: the fixture of the end-to-end tests on real peers and emulated radios.

#include <QCoreApplication>
#include <QTest>
#include <memory>
#include <string>

#include "FormFixture.h"
#include "HamlibRigServer.h"

class HamlibFormFixture : public FormFixture {
protected:
    HamlibFormFixture() { withRigServer = false; }
    void TearDown() override { window_.reset(); }

    // Starts the window on this settings file and waits until both rigs are on-line.
    TForm1& startOnHamlib(const std::string& settings) {
        writeIni(settings);
        FormEnvironment env = environment();
        env.rigServer = [](const std::filesystem::path& path) {
            return OmniRig::HamlibRigServer::factory(path, [](std::function<void()> event) {
                QMetaObject::invokeMethod(qApp, std::move(event), Qt::QueuedConnection);
            });
        };
        window_ = std::make_unique<TForm1>(std::move(env));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return window_->RigPanel1->ON() && window_->RigPanel2->ON(); }, 10'000));
        return *window_;
    }

    std::unique_ptr<TForm1> window_;
};
