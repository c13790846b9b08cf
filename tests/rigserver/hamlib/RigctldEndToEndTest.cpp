// The Hamlib rig server against a real rigctld (the Dummy rig behind Hamlib's network daemon),
// reached through Hamlib's network model and a proxy that counts what the program sends.

#include <gtest/gtest.h>

#include <algorithm>

#include "CommandCountingProxy.h"
#include "RigStatus.h"
#include "RigWorker.h"
#include "RigctldPeer.h"
#include "ServerHarness.h"
#include "ThreadCount.h"

using namespace OmniRig;
using namespace OmniRig::Testing;
using namespace std::chrono_literals;

namespace {

constexpr auto kPoll = 200ms;

std::vector<std::string> radioWrites(const std::vector<std::string>& commands) {
    std::vector<std::string> writes;
    std::copy_if(commands.begin(), commands.end(), std::back_inserter(writes),
                 [](const std::string& c) { return c.compare(0, 4, "set_") == 0; });
    return writes;
}

class RigctldEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        proxy = std::make_unique<CommandCountingProxy>(peer.port());
        const std::string settings =
            "[DIVIZURE]\nTRACK=0\n[RIG1]\nMODEL=2\nPORT=" + proxy->address() +
            "\nPOLL=" + std::to_string(kPoll.count()) + "\n[RIG2]\nMODEL=0\n";
        harness = std::make_unique<ServerHarness>(settings.c_str());
        ASSERT_TRUE(harness->waitForStatus(1, ST_ONLINE));
        ASSERT_EQ(rig().TypeText(), "NET rigctl");
        ASSERT_EQ(rig().StatusText(), "On-line");
    }

    RigObject rig() { return harness->rig(1); }

    // Waits until the program has polled the radio `polls` more times.
    bool pollsPass(int polls) {
        const int target = proxy->count("get_freq") + polls;
        return harness->waitFor([&] { return proxy->count("get_freq") >= target; });
    }

    RigctldPeer peer;
    std::unique_ptr<CommandCountingProxy> proxy;
    std::unique_ptr<ServerHarness> harness;
};

}  // namespace

TEST_F(RigctldEndToEnd, ChangesByASecondClientArriveWithTheirBitsPromptly) {
    // The frequency and VFO are read on every poll, the rest once in a few.
    constexpr auto kWithin = (RigWorker::kStateEveryPolls + 1) * kPoll;
    struct Change {
        const char* command;
        int32_t bits;
    };
    const Change changes[] = {
        {"F 14074000", FREQ | FREQA}, {"M CW 500", CW},        {"V VFOB", VFOB | FREQ},
        {"S 1 VFOA", SPLITON},        {"V VFOA", VFOA | FREQ}, {"S 0 VFOA", SPLITOFF},
    };
    for (const auto& change : changes) {
        ASSERT_EQ(peer.command(change.command).code, 0) << change.command;
        EXPECT_TRUE(harness->waitForParams(1, change.bits, kWithin)) << change.command;
    }
    EXPECT_EQ(rig().Frequency(), 14'074'000);
    EXPECT_EQ(rig().FrequencyA(), 14'074'000);
    EXPECT_EQ(rig().ModeBits(), CW);
    EXPECT_EQ(rig().SplitBits(), SPLITOFF);
    EXPECT_FALSE(harness->eventOffThread);
}

TEST_F(RigctldEndToEnd, AStampsFourWritesReachTheRadioInOrderOnTheChosenVfo) {
    proxy->reset();
    RigObject slave = rig();
    // As the tracking step does it, in one call of the window's thread.
    slave.SetVfoBits(VFOB);
    EXPECT_EQ(slave.Frequency(), slave.FrequencyB());
    slave.SetFrequency(7'012'340);
    slave.SetModeBits(USB);
    slave.SetVfoBits(VFOA);

    // All four answered, so that the last switch cannot come after the checks' own.
    auto answered = [](const auto& e) { return e.isWrite() && e.replied; };
    ASSERT_TRUE(
        harness->waitFor([&] { return std::ranges::count_if(proxy->exchanges(), answered) >= 4; }));
    EXPECT_EQ(radioWrites(proxy->commands()),
              (std::vector<std::string>{"set_vfo", "set_freq", "set_mode", "set_vfo"}));
    // The Dummy rig names its VFO A "Main" once it has been switched.
    EXPECT_NE(peer.command("v").value("VFO"), "VFOB");
    EXPECT_NE(peer.command("v").value("VFO"), "Sub");
    ASSERT_EQ(peer.command("V VFOB").code, 0);
    EXPECT_EQ(peer.command("f").value("Frequency"), "7012340");
    EXPECT_EQ(peer.command("m").value("Mode"), "USB");
    ASSERT_EQ(peer.command("V VFOA").code, 0);
}

TEST_F(RigctldEndToEnd, PollingAndStampsThatChangeNothingMakeNoRadioWrites) {
    RigObject slave = rig();
    slave.SetVfoBits(VFOB);
    slave.SetFrequency(7'012'340);
    slave.SetModeBits(USB);
    slave.SetVfoBits(VFOA);
    ASSERT_TRUE(harness->waitFor([&] { return proxy->writes() >= 4; }));
    ASSERT_TRUE(pollsPass(2));

    proxy->reset();
    for (int i = 0; i < 3; ++i) {
        slave.SetVfoBits(VFOB);
        slave.SetFrequency(7'012'340);
        slave.SetModeBits(USB);
        slave.SetVfoBits(VFOA);
        slave.SetSplitBits(SPLITOFF);
        ASSERT_TRUE(pollsPass(1));
    }
    EXPECT_EQ(proxy->writes(), 0) << "the quiet station was written to";
    // VFO B cannot be read through a rigctld without VFO mode: the poll never switches to it.
    EXPECT_EQ(proxy->count("set_vfo"), 0);
    EXPECT_EQ(slave.FrequencyB(), 7'012'340);
}

TEST_F(RigctldEndToEnd, AKilledRigctldIsReportedAndItsReturnBringsTheRigBackOnline) {
    peer.kill();
    ASSERT_TRUE(harness->waitFor([&] {
        const int32_t code = rig().StatusCode();
        return code == ST_NOTRESPONDING || code == ST_PORTBUSY;
    }));
    const std::string text = rig().StatusText();
    EXPECT_TRUE(text.starts_with("Rig is not responding") ||
                text.starts_with("Port is not available"))
        << text;

    // Tried again 0.25 s after each failed open: 5 tries in 4 s, where a doubling pause makes 4.
    const int tries = proxy->connectionsAccepted();
    EXPECT_TRUE(harness->waitFor([&] { return proxy->connectionsAccepted() >= tries + 5; }, 4s));

    // The rig comes back as it was; the first poll still reports every parameter, as at
    // first start, so a slave is brought to it without waiting for a change.
    peer.restart();
    ASSERT_TRUE(harness->waitForStatus(1, ST_ONLINE));
    EXPECT_EQ(rig().StatusText(), "On-line");
    EXPECT_TRUE(harness->waitForParams(1, FREQ | FREQA | VFOA | FM | SPLITOFF));
    ASSERT_EQ(peer.command("F 3573000").code, 0);
    EXPECT_TRUE(harness->waitFor([&] { return rig().Frequency() == 3'573'000; }));
}

TEST_F(RigctldEndToEnd, ASilentPeerShowsNotRespondingKeepsItsLinkAndShutdownStillEndsEveryThread) {
    const int threadsBefore = threadCount();
    proxy->setStalled(true);
    // Two command time-outs plus a poll interval; generous for a loaded machine.
    ASSERT_TRUE(harness->waitForStatus(1, ST_NOTRESPONDING, 2s));
    EXPECT_EQ(rig().StatusText(), "Rig is not responding");
    // Reads never wait for the radio.
    EXPECT_EQ(rig().StatusCode(), ST_NOTRESPONDING);

    // It may have been busy with another client's command: back as it answers, on one link.
    proxy->setStalled(false);
    ASSERT_TRUE(harness->waitForStatus(1, ST_ONLINE));
    EXPECT_EQ(proxy->connectionsAccepted(), 1);

    // Shut down while the worker is blocked in a call that will time out.
    proxy->setStalled(true);
    ASSERT_TRUE(harness->waitForStatus(1, ST_NOTRESPONDING, 2s));
    const auto start = std::chrono::steady_clock::now();
    harness.reset();
    const auto took = std::chrono::steady_clock::now() - start;
    // The bound is one time-out and a close; twice that catches a call that was not bounded.
    EXPECT_LT(took, 2 * RigLink::kCommandTimeout);
    EXPECT_LT(threadCount(), threadsBefore);
}

TEST_F(RigctldEndToEnd, AQuietRigIsPolledSparinglyAndAChangeIsStillSeen) {
    // Long after the last change the rig counts as quiet.
    ASSERT_TRUE(pollsPass(static_cast<int>(RigWorker::kSlowStateInterval / kPoll) + 1));
    proxy->reset();
    ASSERT_TRUE(pollsPass(10));
    const int polls = proxy->count("get_freq");
    const int stateReads = 1 + polls / RigWorker::kStateEveryPolls;
    const int slowReads = 1 + static_cast<int>(polls * kPoll / RigWorker::kSlowStateInterval);
    EXPECT_LE(proxy->count("get_mode"), stateReads);
    EXPECT_LE(proxy->count("get_vfo"), stateReads);
    EXPECT_LE(proxy->count("get_split_vfo"), slowReads);
    EXPECT_LE(proxy->count("get_func"), slowReads) << "RIT";

    ASSERT_EQ(peer.command("S 1 VFOA").code, 0);
    EXPECT_TRUE(harness->waitForParams(1, SPLITON, RigWorker::kSlowStateInterval + 2 * kPoll));
}
