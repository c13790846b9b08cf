#include "ProgramMain.h"

#include <QApplication>
#include <QIcon>
#include <filesystem>

#include "HamlibRigServer.h"
#include "HamlibSettingsWindow.h"
#include "InstanceLock.h"
#include "QtPrompter.h"
#include "SessionSignals.h"
#include "ZuvozeRaro_Unit.h"

int ProgramMain(int argc, char** argv, const std::function<void(TForm1&)>& shown) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("zuvozeraro");
    // Window titles stay exactly as the window sets them; the desktop knows the program by its
    // desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("zuvozeraro"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zuvozeraro.svg")));

    // The rig server's events reach the window through its event loop.
    OmniRig::Dispatcher toEventLoop = [](std::function<void()> event) {
        QMetaObject::invokeMethod(qApp, std::move(event), Qt::QueuedConnection);
    };

    FormEnvironment environment;
    environment.arguments = QApplication::arguments().mid(1);
    environment.workingDirectory = std::filesystem::current_path();
    environment.prompter = std::make_shared<QtPrompter>();
    environment.rigServer = [toEventLoop](const std::filesystem::path& settingsPath) {
        return OmniRig::HamlibRigServer::factory(settingsPath, toEventLoop,
                                                 OmniRig::HamlibSettingsWindow::factory());
    };
    std::string lockProblem;
    environment.instanceLockDirectory = InstanceLock::DefaultDirectory(&lockProblem);
    if (environment.instanceLockDirectory.empty()) {
        // The program runs all the same; the operator learns why a second copy is not refused.
        qWarning("ZuvozeRaro: no single-instance lock: %s", lockProblem.c_str());
    }
    environment.endProcess = [] { QCoreApplication::exit(0); };

    TForm1 form(std::move(environment));
    if (form.StartupAborted()) {
        return 1;
    }
    form.show();
    const SessionSignals sessionEnds([&form] { form.EndSession(); });
    if (shown) {
        shown(form);
    }
    return QApplication::exec();
}
