// Program entry. "--help" and "--version" are answered before anything else starts: no window,
// no display, no settings file and no lock.

#include <cstring>
#include <iostream>

#include "HamlibLibrary.h"
#include "ProgramMain.h"

namespace {

constexpr const char* kHelp =
    "Usage: zuvozeraro [-F settings-file]\n"
    "       zuvozeraro --help | --version\n"
    "\n"
    "Works two transceivers from one station: shows both rigs side by side, makes the slave\n"
    "rig follow the master rig's frequency and mode, and moves frequencies between the rigs\n"
    "with an offset of -500 to +500 Hz.\n"
    "\n"
    "  -F FILE     keep the settings in FILE; without it, ZUVOZERARO.INI in the working\n"
    "              directory. The rigs are configured in the same file, or in the window's\n"
    "              Edit > Settings.\n"
    "  --help      show this help and end\n"
    "  --version   show the version and end\n"
    "\n"
    "Only one copy runs at a time. See zuvozeraro(1).\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--help") == 0) {
        std::cout << kHelp;
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "zuvozeraro " ZR_VERSION "\n"
                  << "Copyright (C) 2025-2026 the ZuvozeRaro developers\n"
                     "License GPLv3+: GNU GPL version 3 or later "
                     "<https://gnu.org/licenses/gpl.html>.\n"
                     "This is free software: you are free to change and redistribute it.\n"
                     "There is NO WARRANTY, to the extent permitted by law.\n"
                  << "Rigs through " << OmniRig::HamlibLibrary::version() << ".\n";
        return 0;
    }
    return ProgramMain(argc, argv);
}
