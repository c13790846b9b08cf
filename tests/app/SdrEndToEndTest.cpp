// The window on the Hamlib rig server with gqrx, the SDR receiver, as one rig through its remote
// control port (a stand-in that speaks its dialect) and a rigctld peer as the other: the SDR
// follows with a passband it can hear, leads, and keeps working when another client takes its
// one connection for a while.

#include <gtest/gtest.h>

#include <QTest>
#include <functional>

#include "CommandCountingProxy.h"
#include "GqrxStandIn.h"
#include "HamlibFormFixture.h"
#include "RigctldPeer.h"

using namespace OmniRig::Testing;
using namespace std::chrono_literals;

namespace {

class SdrEndToEnd : public HamlibFormFixture {
protected:
    // Rig 1 is the master, rig 2 the slave, on its VFO A: gqrx has no other.
    TForm1& startWithSdrAsRig(int number) {
        const std::string sdr = "MODEL=2\nPORT=" + gqrx.address() + "\nPOLL=100\n";
        const std::string radio = "MODEL=2\nPORT=" + proxy.address() + "\nPOLL=100\n";
        TForm1& f = startOnHamlib("[RIG1]\n" + (number == 1 ? sdr : radio) + "[RIG2]\n" +
                                  (number == 1 ? radio : sdr) +
                                  "[DIVIZURE]\nTRACK=TRUE\nMASTER=0\nSLAVE=1\nSLAVEVFO=A\n");
        // Coming on-line, the transceiver is taken to VFO B and back to read it: a change made
        // meanwhile would land on VFO B.
        EXPECT_TRUE(QTest::qWaitFor([&] { return proxy.count("set_vfo") >= 2; }, 10'000));
        return f;
    }

    bool sdrReaches(const std::function<bool(const GqrxStandIn::State&)>& done) {
        return QTest::qWaitFor([&] { return done(gqrx.state()); }, 5'000);
    }
    std::string sdrShows() const {
        const auto s = gqrx.state();
        return std::to_string(s.hz) + " Hz " + s.mode + " " + std::to_string(s.passband) + " Hz";
    }

    bool radioReaches(const std::string& hz, const std::string& mode) {
        return QTest::qWaitFor(
            [&] {
                return rigctld.command("f").value("Frequency") == hz &&
                       rigctld.command("m").value("Mode") == mode;
            },
            5'000);
    }

    // What gqrx was told to change, frequency and mode writes.
    std::vector<std::string> writesToSdr() const {
        std::vector<std::string> writes;
        for (const std::string& line : gqrx.received()) {
            if (line.rfind("F ", 0) == 0 || line.rfind("M ", 0) == 0) {
                writes.push_back(line);
            }
        }
        return writes;
    }

    RigctldPeer rigctld;
    CommandCountingProxy proxy{rigctld.port()};
    GqrxStandIn gqrx;
};

}  // namespace

TEST_F(SdrEndToEnd, AsTheSlaveItFollowsWithAPassbandItCanHear) {
    // The operator has narrowed gqrx's USB filter; the transceiver is on USB too.
    gqrx.setPassband(2400);
    rigctld.command("F 14200000");
    rigctld.command("M USB 2400");
    startWithSdrAsRig(2);
    EXPECT_TRUE(sdrReaches([](const auto& s) {
        return s.hz == 14'200'000 && s.mode == "USB" && s.passband == 2400;
    })) << sdrShows()
        << ": the mode stayed, and so does the operator's passband";

    // A new mode takes gqrx's own width for it, as its mode box gives it.
    rigctld.command("M CW 500");
    rigctld.command("F 7012500");
    EXPECT_TRUE(sdrReaches([](const auto& s) {
        return s.hz == 7'012'500 && s.mode == "CW" && s.passband == 500;
    })) << sdrShows();
    rigctld.command("M FM 15000");
    EXPECT_TRUE(sdrReaches([](const auto& s) { return s.mode == "FM" && s.passband == 10'000; }))
        << sdrShows();
    for (const std::string& write : writesToSdr()) {
        EXPECT_EQ(write.find(" -1"), std::string::npos) << write << ": a passband of -1 Hz";
    }
}

TEST_F(SdrEndToEnd, AsTheMasterItLeadsAndIsNeverWritten) {
    gqrx.tune(3'573'000);
    gqrx.selectMode("LSB");
    startWithSdrAsRig(1);
    EXPECT_TRUE(radioReaches("3573000", "LSB"));

    // The operator tunes gqrx and picks another mode in its window.
    gqrx.tune(7'030'000);
    gqrx.selectMode("CW");
    EXPECT_TRUE(radioReaches("7030000", "CW"));
    EXPECT_EQ(writesToSdr(), std::vector<std::string>{});
}

TEST_F(SdrEndToEnd, ASecondClientTakesThePortAndOurLinkComesBackByItself) {
    TForm1& f = startWithSdrAsRig(2);
    ASSERT_TRUE(sdrReaches([](const auto& s) { return s.hz == 145'000'000; }));

    // Another program connects and tunes gqrx: gqrx drops our connection for it.
    LoopbackSocket other(connectLoopback(gqrx.port()));
    ASSERT_TRUE(other.sendAll("F 7000000\n"));
    std::string reply;
    ASSERT_TRUE(other.readLine(reply, 5'000ms));
    ASSERT_EQ(reply, "RPRT 0");

    // Ours connects again by itself, which in turn drops the other program, and stays; the
    // healed link brings gqrx back to its master at once, and tracking goes on.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return gqrx.connectionsAccepted() == 3 && f.RigPanel2->ON(); }, 10'000));
    EXPECT_TRUE(sdrReaches([](const auto& s) { return s.hz == 145'000'000; })) << sdrShows();
    rigctld.command("F 14074000");
    EXPECT_TRUE(sdrReaches([](const auto& s) { return s.hz == 14'074'000; }));
    EXPECT_EQ(gqrx.connectionsAccepted(), 3);
}
