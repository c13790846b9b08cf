#include "BenchWindow.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QTest>
#include <atomic>
#include <fstream>

#include "HamlibRigServer.h"
#include "RecordingPrompter.h"

namespace Bench {

namespace fs = std::filesystem;

BenchWindow::BenchWindow(const std::string& settings) {
    static std::atomic<int> counter{0};
    directory_ = fs::temp_directory_path() /
                 ("zr-bench-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(directory_);
    fs::create_directories(directory_);
    if (!settings.empty()) {
        std::ofstream(directory_ / "ZUVOZERARO.INI", std::ios::binary) << settings;
    }
    FormEnvironment env;
    env.workingDirectory = directory_;
    env.prompter = std::make_shared<RecordingPrompter>();
    env.rigServer = [](const fs::path& settingsPath) {
        return OmniRig::HamlibRigServer::factory(settingsPath, [](std::function<void()> event) {
            QMetaObject::invokeMethod(qApp, std::move(event), Qt::QueuedConnection);
        });
    };
    env.instanceLockDirectory = directory_;
    env.endProcess = [] {};
    form_ = std::make_unique<TForm1>(std::move(env));
    form_->show();
}

BenchWindow::~BenchWindow() {
    form_.reset();
    std::error_code ec;
    fs::remove_all(directory_, ec);
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
