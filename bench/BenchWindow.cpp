#include "BenchWindow.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTest>
#include <exception>
#include <fstream>
#include <thread>

#include "HamlibRigServer.h"
#include "RecordingPrompter.h"

namespace Bench {

namespace fs = std::filesystem;

void BenchWindow::drive(const std::function<void()>& job) {
    std::exception_ptr failure;
    QEventLoop loop;
    std::thread driver([&] {
        try {
            job();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    driver.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

BenchWindow::BenchWindow(const std::string& settings) {
    if (!settings.empty()) {
        std::ofstream(directory_ / "ZUVOZERARO.INI", std::ios::binary) << settings;
    }
    FormEnvironment env;
    env.workingDirectory = directory_.path();
    env.prompter = std::make_shared<RecordingPrompter>();
    env.rigServer = [](const fs::path& settingsPath) {
        return OmniRig::HamlibRigServer::factory(settingsPath, [](std::function<void()> event) {
            QMetaObject::invokeMethod(qApp, std::move(event), Qt::QueuedConnection);
        });
    };
    env.instanceLockDirectory = directory_.path();
    env.endProcess = [] {};
    form_ = std::make_unique<TForm1>(std::move(env));
    form_->show();
}

BenchWindow::~BenchWindow() {
    // The window saves into the directory as it goes.
    form_.reset();
}

bool BenchWindow::waitBothOnline(std::chrono::milliseconds timeout) {
    return QTest::qWaitFor([&] { return form_->RigPanel1->ON() && form_->RigPanel2->ON(); },
                           static_cast<int>(timeout.count()));
}

std::string BenchWindow::trackingSettings(const std::string& master, const std::string& slave,
                                          int pollMs, char slaveVfo) {
    const std::string poll = std::to_string(pollMs);
    return "[RIG1]\nMODEL=2\nPORT=" + master + "\nPOLL=" + poll +
           "\n[RIG2]\nMODEL=2\nPORT=" + slave + "\nPOLL=" + poll +
           "\n[DIVIZURE]\nTRACK=TRUE\nMASTER=0\nSLAVE=1\nSLAVEVFO=" + std::string(1, slaveVfo) +
           "\n";
}

}  // namespace Bench
