// Holds the single-instance lock of a directory, as a running copy of the program does, until it
// is killed. Prints "held" once it has the lock.

#include <unistd.h>

#include <cstdio>

#include "InstanceLock.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    InstanceLock lock("ZUVOZERARO", argv[1]);
    std::printf("%s\n", lock.outcome() == InstanceLock::Outcome::Acquired ? "held" : "refused");
    std::fflush(stdout);
    for (;;) {
        ::pause();
    }
}
