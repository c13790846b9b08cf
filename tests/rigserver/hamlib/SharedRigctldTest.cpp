// The rig server's own rigctld: a port that another program holds is named, and the rigctld
// that holds it is left alone. Sharing itself is tried end to end in the window's tests.

#include <gtest/gtest.h>

#include "LoopbackSocket.h"
#include "SharedRigctld.h"

using namespace OmniRig;
using namespace std::chrono_literals;

TEST(SharedRigctld, APortInUseIsNamedAndTheOtherRigctldRunsOn) {
    const uint16_t port = Testing::freeLoopbackPort();
    SharedRigctld first({1, "", 0}, "127.0.0.1", port);
    ASSERT_EQ(first.Start(10s), "");
    SharedRigctld second({1, "", 0}, "127.0.0.1", port);
    EXPECT_EQ(second.Start(10s),
              "Port " + std::to_string(port) + " on 127.0.0.1 is in use by another program");
    EXPECT_FALSE(second.Running());
    EXPECT_TRUE(first.Running());
}
