// A serial port that will not open says why and what to do, as an operator's account sees it.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "PortAccess.h"
#include "RigObject.h"
#include "RigProbe.h"
#include "ScratchDirectory.h"
#include "ServerHarness.h"

using OmniRig::PortAccess;

namespace {

// What PortAccess says of the port to user 65534 (nobody), run as root.
std::string asNobody(const std::string& port) {
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    if (::fork() == 0) {
        const std::string said = ::setgroups(0, nullptr) | ::setgid(65534) | ::setuid(65534)
                                     ? "could not become nobody"
                                     : PortAccess::problem(port);
        ::_exit(::write(ends[1], said.data(), said.size()) < 0);
    }
    ::close(ends[1]);
    std::string said(512, '\0');
    said.resize(static_cast<size_t>(std::max<ssize_t>(::read(ends[0], said.data(), 512), 0)));
    ::close(ends[0]);
    ::wait(nullptr);
    return said;
}

}  // namespace

TEST(PortAccess, APortThatWillNotOpenNamesItsCauseAndWhatToDo) {
    // A port that is not there: the rig's status and the settings window's Test say so.
    const std::string said =
        "Port is not available: /dev/ttyZR9 (no such port: check that the radio or its cable is "
        "plugged in, and the port's name; /dev/serial/by-id lists the ports there are)";
    OmniRig::Testing::ServerHarness h("[RIG1]\nMODEL=3073\nPORT=/dev/ttyZR9\n[RIG2]\nMODEL=0\n");
    ASSERT_TRUE(h.waitForStatus(1, OmniRig::ST_PORTBUSY));
    EXPECT_EQ(h.rig(1).StatusText(), said);
    OmniRig::RigConfig config;
    config.model = 3073;
    config.port = "/dev/ttyZR9";
    EXPECT_EQ(OmniRig::RigProbe::run(config).text, said);
    if (::geteuid() != 0) {
        return;  // another account is needed for the rest
    }
    // A port of a group the account is not in, and one another program holds.
    OmniRig::Testing::ScratchDirectory dir("ports");
    ::chmod(dir.path().c_str(), 0755);
    const std::string closed = dir / "ttyUSB0";
    ::close(::open(closed.c_str(), O_CREAT | O_WRONLY, 0660));
    ASSERT_EQ(::chown(closed.c_str(), 0, 20), 0);
    EXPECT_EQ(asNobody(closed), closed + " (permission denied: this account is not in the group " +
                                    ::getgrgid(20)->gr_name + "; add it and log in again)");
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const std::string held = ::ptsname(master);
    const int holder = ::open(held.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::ioctl(holder, TIOCEXCL) | ::chmod(held.c_str(), 0666), 0);
    EXPECT_EQ(asNobody(held),
              held + " (held by another program: end the program that uses it first)");
    ::close(holder);
    ::close(master);
}
