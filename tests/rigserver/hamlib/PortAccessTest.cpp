// A serial port that will not open says why and what to do, as an operator's account sees it.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "PortAccess.h"
#include "RigObject.h"
#include "RigProbe.h"
#include "ScratchDirectory.h"
#include "ServerHarness.h"

using OmniRig::PortAccess;

namespace {

// What PortAccess says of each port to an account that is not root (65534, nobody), or
// nothing when the tests do not run as root and cannot take another account.
std::vector<std::string> asAnotherAccount(const std::vector<std::string>& ports) {
    int pipeEnds[2];
    if (::geteuid() != 0 || ::pipe(pipeEnds) != 0) {
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(1);
        }
        std::string all;
        for (const auto& port : ports) {
            all += PortAccess::problem(port) + '\n';
        }
        ::_exit(::write(pipeEnds[1], all.data(), all.size()) == ssize_t(all.size()) ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    std::string all;
    char chunk[512];
    for (ssize_t n; (n = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0;) {
        all.append(chunk, static_cast<size_t>(n));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = all.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(all.substr(start, end - start));
    }
    return lines;
}

}  // namespace

TEST(PortAccess, APortThatWillNotOpenNamesItsCauseAndWhatToDo) {
    EXPECT_EQ(PortAccess::problem(""), "");
    EXPECT_EQ(PortAccess::problem("127.0.0.1:4532"), "") << "no device";
    EXPECT_EQ(PortAccess::problem("/dev/null"), "") << "opens";
    EXPECT_EQ(PortAccess::problem("/dev/ttyZR9"),
              "/dev/ttyZR9 (no such port: check that the radio or its cable is plugged in, and "
              "the port's name; /dev/serial/by-id lists the ports there are)");
    // The words for each cause, as the group file and the session have it.
    EXPECT_EQ(PortAccess::explain("/dev/ttyUSB0", EACCES, "dialout", false, false),
              "/dev/ttyUSB0 (permission denied: this account is not in the group dialout; add it "
              "and log in again)");
    EXPECT_EQ(PortAccess::explain("/dev/ttyUSB0", EACCES, "dialout", false, true),
              "/dev/ttyUSB0 (permission denied: this account was added to the group dialout "
              "since it logged in; log in again)");
    EXPECT_EQ(PortAccess::explain("/dev/ttyUSB0", EACCES, "dialout", true, false),
              "/dev/ttyUSB0 (permission denied: this account may not open it)");

    // As another account: a port of a group it is not in, and one another program holds.
    OmniRig::Testing::ScratchDirectory dir("ports");
    ::chmod(dir.path().c_str(), 0755);
    const std::string closed = dir / "ttyUSB0";
    ::close(::open(closed.c_str(), O_CREAT | O_WRONLY, 0660));
    const group* dialout = ::getgrnam("dialout");
    ASSERT_EQ(::chown(closed.c_str(), 0, dialout ? dialout->gr_gid : 20), 0);
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const std::string held = ::ptsname(master);
    const int holder = ::open(held.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::ioctl(holder, TIOCEXCL), 0);
    ::chmod(held.c_str(), 0666);
    const auto seen = asAnotherAccount({closed, held});
    if (::geteuid() == 0) {
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0], closed + " (permission denied: this account is not in the group " +
                               (dialout ? "dialout" : ::getgrgid(20)->gr_name) +
                               "; add it and log in again)");
        EXPECT_EQ(seen[1], held + " (held by another program: end the program that uses it first)");
    }
    ::close(holder);
    ::close(master);
}

TEST(PortAccess, TheRigsStatusAndTheSettingsTestSayIt) {
    const std::string said = "Port is not available: " + PortAccess::problem("/dev/ttyZR9");
    OmniRig::Testing::ServerHarness h("[RIG1]\nMODEL=3073\nPORT=/dev/ttyZR9\n[RIG2]\nMODEL=0\n");
    ASSERT_TRUE(h.waitForStatus(1, OmniRig::ST_PORTBUSY));
    EXPECT_EQ(h.rig(1).StatusText(), said);
    OmniRig::RigConfig config;
    config.model = 3073;
    config.port = "/dev/ttyZR9";
    EXPECT_EQ(OmniRig::RigProbe::run(config).text, said);
}
