#pragma once
// What the main window is given by the program entry: the command line, the working directory,
// the prompter, the rig server, the place of the instance lock and the way to end the program.
// Tests hand in their own.

#include <QStringList>
#include <filesystem>
#include <functional>
#include <memory>

#include "OmniRig_TLB.h"
#include "Prompter.h"

struct FormEnvironment {
    // The command line after the program's name.
    QStringList arguments;
    std::filesystem::path workingDirectory;
    std::shared_ptr<Prompter> prompter;
    // The rig server for a settings file (its rigs are configured there); an empty factory
    // means the rig server component cannot be created.
    std::function<OmniRig::ServerFactory(const std::filesystem::path& settingsPath)> rigServer;
    std::filesystem::path instanceLockDirectory;
    // Ends the program at once, from a running event loop.
    std::function<void()> endProcess;
};
