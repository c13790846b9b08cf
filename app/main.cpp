// Program entry. "--help" and "--version" are answered before anything else starts: no window,
// no display, no settings file and no lock.

#include <langinfo.h>

#include <clocale>
#include <cstdlib>
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

// Qt wants a UTF-8 character set, and where the environment names no locale, or C or POSIX, it
// switches the character set to UTF-8 itself with a warning at every start. C.UTF-8 is that same
// C locale with UTF-8 characters, so it is named here first and Qt finds nothing to change. A
// locale that is set, or named but missing, is left to Qt as before.
void nameUtf8ForTheCLocale() {
    if (std::setlocale(LC_ALL, "") != nullptr) {
        const char* characters = std::setlocale(LC_CTYPE, nullptr);
        const bool plainC = characters != nullptr && (std::strcmp(characters, "C") == 0 ||
                                                      std::strcmp(characters, "POSIX") == 0);
        if (plainC && std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr &&
            std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) {
            // LC_ALL outranks LC_CTYPE; set, it is C or POSIX for every category.
            const char* all = std::getenv("LC_ALL");
            setenv(all != nullptr && *all != '\0' ? "LC_ALL" : "LC_CTYPE", "C.UTF-8", 1);
        }
    }
    // Qt sets the process's locale from the environment itself.
    std::setlocale(LC_ALL, "C");
}

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
                  << "Rigs through " << OmniRig::HamlibLibrary::version() << " (built for Hamlib "
                  << OmniRig::HamlibLibrary::builtFor()
                  << (OmniRig::HamlibLibrary::runsAsBuilt() ? "" : ": its public functions alone")
                  << ").\n";
        return 0;
    }
    nameUtf8ForTheCLocale();
    return ProgramMain(argc, argv);
}
