// A rig shared with the station's other programs: the rig server runs a rigctld of its own for
// the rig's radio (an emulated IC-7300 on its serial port) on the port the settings name, and a
// logger on that port turns the same rig while tracking runs.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <QTest>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "HamlibFormFixture.h"
#include "IcomEmulator.h"
#include "LoopbackSocket.h"
#include "RigctldPeer.h"
#include "SessionSignals.h"

using namespace OmniRig::Testing;
using namespace std::chrono_literals;

namespace {

// The rigctld processes listening on the port, found by their command lines.
std::vector<pid_t> rigctldsOn(uint16_t port) {
    std::vector<pid_t> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;  // not a process
        }
        std::ifstream file(entry.path() / "cmdline", std::ios::binary);
        std::string cmdline((std::istreambuf_iterator<char>(file)), {});
        const std::string listens = std::string("-t") + '\0' + std::to_string(port) + '\0';
        if (cmdline.rfind("rigctld", 0) == 0 && cmdline.find(listens) != std::string::npos) {
            found.push_back(std::stoi(name));
        }
    }
    return found;
}

// What a process holds open ("socket:[123]", "/dev/pts/4", ...).
std::set<std::string> openFiles(const std::string& pid) {
    std::set<std::string> files;
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + pid + "/fd", error)) {
        files.insert(std::filesystem::read_symlink(fd.path(), error).string());
    }
    return files;
}

// What a logger does on the shared port: tune, and see the rig answer.
bool loggerTunes(uint16_t port, const std::string& hertz) {
    LoopbackSocket logger(connectLoopback(port));
    std::string reply;
    return logger.sendAll("F " + hertz + "\n") && logger.readLine(reply, 5s) && reply == "RPRT 0";
}

class ShareEndToEnd : public HamlibFormFixture {};

TEST_F(ShareEndToEnd, ALoggerTurnsTheSharedIcomWhileTrackingRunsAndALogoutEndsItAll) {
    IcomEmulator icom;
    RigctldPeer slave;
    const uint16_t port = freeLoopbackPort();
    TForm1& f = startOnHamlib(
        "[RIG1]\nMODEL=3073\nPORT=" + icom.port() + "\nPOLL=100\nSHARE=" + std::to_string(port) +
        "\n[RIG2]\nMODEL=2\nPORT=" + slave.address() +
        "\nPOLL=100\n[DIVIZURE]\nTRACK=TRUE\nMASTER=0\nSLAVE=1\nSLAVEVFO=A\n");
    EXPECT_EQ(f.RigPanel1->RigStatus->text(),
              "On-line, shared on 127.0.0.1:" + QString::number(port));
    auto slaveOn = [&](const char* hertz) {
        return QTest::qWaitFor([&] { return slave.command("f").value("Frequency") == hertz; },
                               5'000);
    };
    // The operator turns the radio's knob, and a logger tunes it through the shared port.
    icom.turnKnob(7'012'000);
    EXPECT_TRUE(slaveOn("7012000"));
    ASSERT_TRUE(loggerTunes(port, "10116000"));
    EXPECT_EQ(icom.state().hz[RadioState::A], 10'116'000);
    EXPECT_TRUE(slaveOn("10116000"));

    // It holds its radio, its sockets and nothing of the program's.
    const auto first = rigctldsOn(port);
    ASSERT_EQ(first.size(), 1u);
    const auto ours = openFiles("self");
    for (const auto& file : openFiles(std::to_string(first[0]))) {
        EXPECT_TRUE(file == "/dev/null" || file == icom.port() ||
                    (file.starts_with("socket:") && !ours.contains(file)))
            << file;
    }

    // The shared rigctld dies: the rig server starts it again on its port and the rig comes back.
    ::kill(first[0], SIGKILL);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const auto now = rigctldsOn(port);
            return now.size() == 1 && now[0] != first[0] && f.RigPanel1->ON();
        },
        15'000));
    ASSERT_TRUE(loggerTunes(port, "14074000"));
    EXPECT_TRUE(slaveOn("14074000"));

    // A logout (SIGTERM) right after a change: the change is saved, the program ends, and its
    // rigctld closes the radio and ends orderly (SIGINT), with status 0.
    const SessionSignals logout([&f] { f.EndSession(); });
    f.OffsetButton->click();
    ::raise(SIGTERM);
    ASSERT_TRUE(QTest::qWaitFor([&] { return endProcessCalls == 1; }, 5'000));
    EXPECT_EQ(saved("SHIFT"), "TRUE");
    const pid_t shared = rigctldsOn(port).at(0);
    window_.reset();
    int status = -1;
    EXPECT_EQ(::waitpid(shared, &status, 0), shared);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
