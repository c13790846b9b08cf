// The window on the Hamlib rig server with two real rigctld peers: tracking follows the master,
// the slave ends on its own VFO, a quiet station makes no radio writes, and a transfer moves the
// real rig.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <memory>

#include "CommandCountingProxy.h"
#include "HamlibFormFixture.h"
#include "ParamBits.h"
#include "RigctldPeer.h"

using namespace OmniRig;
using namespace OmniRig::Testing;
using namespace std::chrono_literals;

namespace {

constexpr int kPollMs = 100;

class TrackingEndToEnd : public HamlibFormFixture {
protected:
    void SetUp() override {
        proxy1 = std::make_unique<CommandCountingProxy>(peer1.port());
        proxy2 = std::make_unique<CommandCountingProxy>(peer2.port());
    }

    TForm1& startOnPeers(const std::string& slaveVfo, const std::string& master = "0") {
        TForm1& f = startOnHamlib(
            "[RIG1]\nMODEL=2\nPORT=" + proxy1->address() + "\nPOLL=" + std::to_string(kPollMs) +
            "\n[RIG2]\nMODEL=2\nPORT=" + proxy2->address() + "\nPOLL=" + std::to_string(kPollMs) +
            "\n[DIVIZURE]\nTRACK=TRUE\nMASTER=" + master +
            "\nSLAVE=" + (master == "0" ? "1" : "0") + "\nSLAVEVFO=" + slaveVfo + "\n");
        // Coming on-line, each rig is taken to VFO B and back to read it: a second client's
        // change made meanwhile would land on VFO B.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return proxy1->count("set_vfo") >= 2 && proxy2->count("set_vfo") >= 2; },
            10'000));
        return f;
    }

    // VFO B of a peer as its own daemon reports it, read without switching its VFO.
    std::string vfoB(RigctldPeer& peer, const char* key) {
        return peer.command("\\get_vfo_info VFOB").value(key);
    }
    std::string currentVfo(RigctldPeer& peer) { return peer.command("\\get_vfo").value("VFO"); }
    // The Dummy rig names VFO A "Main" once a client selected it under that name.
    static bool isVfoA(const std::string& vfo) { return vfo == "VFOA" || vfo == "Main"; }

    RigctldPeer peer1;
    RigctldPeer peer2;
    std::unique_ptr<CommandCountingProxy> proxy1;
    std::unique_ptr<CommandCountingProxy> proxy2;
};

}  // namespace

TEST_F(TrackingEndToEnd, RigTwoLeadsRigOneFromTheStartWithNoErrorLine) {
    peer2.command("F 7074000");
    peer2.command("M USB 2400");
    TForm1& f = startOnPeers("A", "1");
    auto followed = [&](const char* frequency) {
        return QTest::qWaitFor(
            [&] {
                return peer1.command("f").value("Frequency") == frequency &&
                       peer1.command("m").value("Mode") == "USB";
            },
            5'000);
    };
    EXPECT_TRUE(followed("7074000"));
    peer2.command("F 7076500");
    EXPECT_TRUE(followed("7076500"));
    EXPECT_EQ(peer2.command("f").value("Frequency"), "7076500") << "the master is left alone";
    EXPECT_EQ(f.RigEventErrorText(), "");
}

TEST_F(TrackingEndToEnd, TheSlavesChosenVfoFollowsAndTheSlaveEndsOnItsOwn) {
    // VFO B holds the master's frequency and mode while the slave is back on VFO A.
    auto followed = [&](const char* frequency, const char* mode) {
        return QTest::qWaitFor(
            [&] {
                return vfoB(peer2, "Freq") == frequency && vfoB(peer2, "Mode") == mode &&
                       isVfoA(currentVfo(peer2));
            },
            5'000);
    };
    startOnPeers("B");
    // Start-up's first display already stamps the master into the slave.
    ASSERT_TRUE(followed("145000000", "FM"));
    proxy2->reset();

    peer1.command("F 14074000");
    peer1.command("M USB 2400");
    EXPECT_TRUE(followed("14074000", "USB"));
    EXPECT_GE(proxy2->count("set_vfo"), 2) << "VFO B was reached by switching there and back";
    EXPECT_EQ(peer2.command("f").value("Frequency"), "145000000") << "VFO A is untouched";

    peer1.command("F 7012500");
    peer1.command("M CW 500");
    EXPECT_TRUE(followed("7012500", "CW"));
}

// Tracking on, the slave's target VFO its present one (A) or the other one (B).
class QuietStation : public TrackingEndToEnd, public ::testing::WithParamInterface<const char*> {};

TEST_P(QuietStation, MakesNoRadioWritesOnceTheSlaveHasFollowed) {
    const bool otherVfo = GetParam()[0] == 'B';
    startOnPeers(GetParam());
    peer1.command("F 21074000");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const std::string f =
                otherVfo ? vfoB(peer2, "Freq") : peer2.command("f").value("Frequency");
            return f == "21074000" && isVfoA(currentVfo(peer2));
        },
        5'000));
    // Two polls of the slave after it reached the frequency: its own change has come back as
    // an event, and that event's tracking step has run. From then on ten intervals are watched.
    const int polled = proxy2->count("get_vfo");
    ASSERT_TRUE(proxy2->waitFor(
        [&](const std::vector<std::string>& seen) {
            return std::count(seen.begin(), seen.end(), "get_vfo") >= polled + 2;
        },
        5'000ms));
    QCoreApplication::processEvents();
    proxy1->reset();
    proxy2->reset();
    const bool wrote =
        QTest::qWaitFor([&] { return proxy1->writes() + proxy2->writes() > 0; }, 10 * kPollMs);
    EXPECT_FALSE(wrote) << proxy1->writes() << " + " << proxy2->writes() << " writes";
    EXPECT_GE(proxy2->count("get_freq"), 5) << "the rigs were polled all along";
}

INSTANTIATE_TEST_SUITE_P(SlaveVfo, QuietStation, ::testing::Values("A", "B"));

TEST_F(TrackingEndToEnd, TransferWithTheOffsetMovesTheRealRig) {
    TForm1& f = startOnPeers("A");
    // rigctld without VFO mode cannot read VFO B: it was read at the on-line visit.
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.RigPanel2->FreqB->text() == "146000"; }, 5'000));
    f.TrackButton->click();
    ASSERT_FALSE(f.TrackButton->LEDOn());
    peer1.command("F 14000000");
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.RigPanel1->FreqA->text() == "14000"; }, 5'000));
    f.OffsetButton->click();
    f.OffsetTrack->SetPosition(750);
    f.R1toR2->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return peer2.command("f").value("Frequency") == "14000250"; },
                                5'000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.RigPanel2->FreqADec->text() == "25"; }, 5'000));
}
