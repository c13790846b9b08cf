// A rigctld of the rig server's own, sharing the Dummy rig on a loopback port: it answers a second
// client, a port in use is named, a killed one starts again on its port, and none outlives its
// owner.

#include <gtest/gtest.h>
#include <signal.h>

#include <thread>

#include "LoopbackSocket.h"
#include "SharedRigctld.h"

using namespace OmniRig;
using namespace OmniRig::Testing;
using namespace std::chrono_literals;

namespace {

bool alive(pid_t pid) {
    return pid > 0 && ::kill(pid, 0) == 0;
}

std::string line(LoopbackSocket& socket) {
    std::string text;
    return socket.readLine(text, 5s) ? text : "<none>";
}

// Polls the condition until it holds or the deadline passes.
template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds deadline) {
    for (const auto end = std::chrono::steady_clock::now() + deadline;
         std::chrono::steady_clock::now() < end;) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(10ms);
    }
    return condition();
}

TEST(SharedRigctld, SharesTheRadioWithASecondClientAndLeavesNothingBehind) {
    const uint16_t port = freeLoopbackPort();
    pid_t pid = -1;
    {
        SharedRigctld shared({1, "", 0}, "127.0.0.1", port);
        ASSERT_EQ(shared.Start(10s), "");
        pid = shared.Pid();
        EXPECT_EQ(shared.Endpoint(), "127.0.0.1:" + std::to_string(port));

        // Another program on the same port, as a logger would come.
        LoopbackSocket logger(connectLoopback(port));
        ASSERT_TRUE(logger.sendAll("F 7074000\nf\n"));
        EXPECT_EQ(line(logger), "RPRT 0");
        EXPECT_EQ(line(logger), "7074000");

        // A second copy on the same port is refused with the reason, and leaves the first be.
        SharedRigctld second({1, "", 0}, "127.0.0.1", port);
        EXPECT_EQ(second.Start(10s),
                  "Port " + std::to_string(port) + " on 127.0.0.1 is in use by another program");
        EXPECT_FALSE(second.Running());

        // Killed behind its owner's back, it is seen gone and starts again on its port.
        ::kill(pid, SIGKILL);
        EXPECT_TRUE(waitFor([&] { return !shared.Running(); }, 5s));
        ASSERT_EQ(shared.Start(10s), "");
        EXPECT_NE(shared.Pid(), pid);
        pid = shared.Pid();
        EXPECT_TRUE(alive(pid));
    }
    EXPECT_FALSE(alive(pid)) << "the owner's end stops it";
}

}  // namespace
