// The test peers themselves: what the end-to-end tests count must be counted right.

#include <gtest/gtest.h>

#include "CommandCountingProxy.h"
#include "EventPump.h"
#include "LoopbackSocket.h"
#include "RigctldPeer.h"

using namespace OmniRig::Testing;
using namespace std::chrono_literals;

TEST(CommandCountingProxy, NamesShortLongAndExtendedCommandsAlike) {
    EXPECT_EQ(CommandCountingProxy::commandName("F 14074000"), "set_freq");
    EXPECT_EQ(CommandCountingProxy::commandName("\\set_freq VFOA 14074000"), "set_freq");
    EXPECT_EQ(CommandCountingProxy::commandName("+\\set_freq 1"), "set_freq");
    EXPECT_EQ(CommandCountingProxy::commandName(";f"), "get_freq");
    EXPECT_EQ(CommandCountingProxy::commandName("V VFOB"), "set_vfo");
    EXPECT_EQ(CommandCountingProxy::commandName("M USB -1"), "set_mode");
    EXPECT_EQ(CommandCountingProxy::commandName("\\chk_vfo\r"), "chk_vfo");
    EXPECT_EQ(CommandCountingProxy::commandName("  "), "");
}

TEST(CommandCountingProxy, ForwardsBothWaysCountsAndStalls) {
    RigctldPeer peer;
    CommandCountingProxy proxy(peer.port());
    LoopbackSocket client(connectLoopback(proxy.port()));
    ASSERT_TRUE(client.valid());
    std::string line;
    ASSERT_TRUE(client.sendAll("F 7010000\n\\get_freq\n"));
    ASSERT_TRUE(client.readLine(line, 5s));
    EXPECT_EQ(line, "RPRT 0");
    ASSERT_TRUE(client.readLine(line, 5s));
    EXPECT_EQ(line, "7010000");
    EXPECT_EQ(proxy.commands(), (std::vector<std::string>{"set_freq", "get_freq"}));
    EXPECT_EQ(proxy.writes(), 1);

    proxy.setStalled(true);
    ASSERT_TRUE(client.sendAll("f\n"));
    EXPECT_FALSE(client.readLine(line, 300ms));
    proxy.setStalled(false);
    // The late reply arrives once the proxy passes data again.
    ASSERT_TRUE(client.readLine(line, 5s));
    EXPECT_EQ(line, "7010000");
}

TEST(CommandCountingProxy, TimesEachCommandFromItsPassingOnToItsReply) {
    RigctldPeer peer;
    CommandCountingProxy proxy(peer.port());
    LoopbackSocket client(connectLoopback(proxy.port()));
    ASSERT_TRUE(client.valid());
    std::string line;
    const auto before = CommandCountingProxy::Clock::now();
    // One at a time, as a rigctl client sends them.
    for (const char* command : {"\\set_freq 7012345.000000\n", "f\n"}) {
        ASSERT_TRUE(client.sendAll(command));
        ASSERT_TRUE(client.readLine(line, 5s));
    }
    const auto after = CommandCountingProxy::Clock::now();
    const auto seen = proxy.exchanges();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[0].isWrite());
    EXPECT_EQ(seen[0].lastNumber(), 7'012'345);
    EXPECT_FALSE(seen[1].isWrite());
    EXPECT_EQ(seen[1].lastNumber(), std::nullopt);
    for (const auto& exchange : seen) {
        ASSERT_TRUE(exchange.replied) << exchange.line;
        EXPECT_LE(before, exchange.sent);
        EXPECT_LE(exchange.sent, *exchange.replied);
        EXPECT_LE(*exchange.replied, after);
    }
    EXPECT_LE(*seen[0].replied, seen[1].sent);
    proxy.reset();
    EXPECT_TRUE(proxy.exchanges().empty());
}

TEST(RigctldPeer, AnswersASecondClientAndRestartsOnTheSamePort) {
    RigctldPeer peer;
    const auto port = peer.port();
    ASSERT_EQ(peer.command("F 7020000").code, 0);
    EXPECT_EQ(peer.command("f").value("Frequency"), "7020000");
    EXPECT_NE(peer.command("V NOSUCHVFO").code, 0);

    peer.kill();
    EXPECT_FALSE(peer.running());
    EXPECT_LT(connectLoopback(port), 0);
    peer.restart();
    EXPECT_EQ(peer.port(), port);
    // A fresh daemon: the Dummy rig's own start frequency again.
    EXPECT_NE(peer.command("f").value("Frequency"), "7020000");
}

TEST(EventPump, RunsQueuedFunctionsOnThePumpingThreadOnly) {
    EventPump pump;
    auto dispatch = pump.dispatcher();
    bool onOwner = false;
    int ran = 0;
    std::thread other([&] {
        dispatch([&] {
            onOwner = pump.onOwnerThread();
            ++ran;
        });
    });
    other.join();
    EXPECT_EQ(ran, 0);
    EXPECT_TRUE(pump.pumpUntil([&] { return ran == 1; }, 5s));
    EXPECT_TRUE(onOwner);
    EXPECT_FALSE(pump.pumpUntil([&] { return ran == 2; }, 20ms));
}
