// The window on the Hamlib rig server with two emulated radios, an IC-7300 on CI-V as rig 1 and
// a TS-590S on Kenwood CAT as rig 2, each opened by Hamlib's real backend: tracking either way
// into either VFO, transfers, a slave switched off and on again or losing a write, the TS-590S
// behind rigctld, and an FT-891 (which Hamlib cannot switch between VFOs) as the slave instead.

#include <gtest/gtest.h>

#include <QTest>

#include "CommandCountingProxy.h"
#include "HamlibFormFixture.h"
#include "HamlibInternals.h"
#include "IcomEmulator.h"
#include "KenwoodEmulator.h"
#include "RigctldPeer.h"
#include "YaesuEmulator.h"

using namespace OmniRig::Testing;

namespace {

constexpr int A = RadioState::A;
constexpr int B = RadioState::B;

class RadioEndToEnd : public HamlibFormFixture {
protected:
    void SetUp() override {
        // Every VFO starts apart from the others, so a write on the wrong one shows.
        icom.setFrequency(A, 14'100'000);
        icom.setMode(A, RadioMode::USB);
        icom.setFrequency(B, 18'100'000);
        icom.setMode(B, RadioMode::CW);
        kenwood.setFrequency(A, 21'100'000);
        kenwood.setMode(A, RadioMode::LSB);
        kenwood.setFrequency(B, 28'100'000);
        kenwood.setMode(B, RadioMode::AM);
    }

    // Rig 2 is the TS-590S on its serial port, or at `rig2Port` through Hamlib's network model.
    TForm1& startOn(const std::string& window, const std::string& rig2Port = "") {
        const std::string rig2 =
            rig2Port.empty() ? "MODEL=2031\nPORT=" + kenwood.port() : "MODEL=2\nPORT=" + rig2Port;
        return startOnHamlib("[RIG1]\nMODEL=3073\nPORT=" + icom.port() + "\n[RIG2]\n" + rig2 +
                             "\n[DIVIZURE]\n" + window);
    }

    // Runs the window's events until the radio's state holds the condition.
    static bool radioReaches(const RadioEmulator& radio,
                             const std::function<bool(const RadioState&)>& done) {
        return QTest::qWaitFor([&] { return done(radio.state()); }, 5'000);
    }

    // The commands that changed a frequency or mode on another VFO than `vfo`.
    static std::vector<std::string> changesOffVfo(const RadioEmulator& radio, int vfo) {
        std::vector<std::string> wrong;
        for (const ReceivedCommand& c : radio.received()) {
            if (c.changed != -1 && c.changed != vfo) {
                wrong.push_back(c.text);
            }
        }
        return wrong;
    }

    IcomEmulator icom;
    KenwoodEmulator kenwood;
};

struct Pairing {
    bool icomMaster;
    int slaveVfo;
};

class RadioTracking : public RadioEndToEnd, public ::testing::WithParamInterface<Pairing> {};

}  // namespace

TEST_P(RadioTracking, EveryMasterChangeReachesTheChosenVfoAndNoOtherVfoIsWritten) {
    const auto [icomMaster, target] = GetParam();
    RadioEmulator& master = icomMaster ? static_cast<RadioEmulator&>(icom) : kenwood;
    RadioEmulator& slave = icomMaster ? static_cast<RadioEmulator&>(kenwood) : icom;
    const RadioState before = slave.state();
    // The slave is on VFO B when the program starts: coming on-line selects VFO A.
    slave.selectVfo(B);
    startOn(std::string("TRACK=TRUE\nMASTER=") + (icomMaster ? "0" : "1") + "\nSLAVE=" +
            (icomMaster ? "1" : "0") + "\nSLAVEVFO=" + (target == A ? "A" : "B") + "\n");

    const std::pair<int64_t, RadioMode> changes[] = {
        {14'074'000, RadioMode::PKTUSB}, {7'012'500, RadioMode::CW}, {3'650'000, RadioMode::LSB}};
    for (const auto& [hz, mode] : changes) {
        master.turnKnob(hz);
        master.setMode(A, mode);
        EXPECT_TRUE(radioReaches(slave,
                                 [&](const RadioState& s) {
                                     return s.hz[target] == hz && s.mode[target] == mode &&
                                            s.vfo == A;
                                 }))
            << hz << " " << modeName(mode);
    }
    const RadioState after = slave.state();
    const int other = 1 - target;
    EXPECT_EQ(after.hz[other], before.hz[other]);
    EXPECT_EQ(after.mode[other], before.mode[other]);
    EXPECT_EQ(changesOffVfo(slave, target), std::vector<std::string>{});
    EXPECT_EQ(changesOffVfo(master, -1), std::vector<std::string>{}) << "the master was written";
}

INSTANTIATE_TEST_SUITE_P(Radios, RadioTracking,
                         ::testing::Values(Pairing{true, A}, Pairing{true, B}, Pairing{false, A},
                                           Pairing{false, B}),
                         [](const auto& info) {
                             return std::string(info.param.icomMaster ? "Ic7300IntoTs590"
                                                                      : "Ts590IntoIc7300") +
                                    "VfoAB"[3 + info.param.slaveVfo];
                         });

TEST_F(RadioEndToEnd, TransfersEachWayCarryTheOffset) {
    TForm1& f = startOn("TRACK=FALSE\n");
    f.OffsetButton->click();
    f.OffsetTrack->SetPosition(750);
    f.R1toR2->click();
    EXPECT_TRUE(radioReaches(kenwood, [](const RadioState& s) { return s.hz[A] == 14'100'250; }));

    kenwood.turnKnob(7'050'000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.RigPanel2->FreqA->text() == " 7050"; }, 5'000));
    f.R2toR1->click();
    EXPECT_TRUE(radioReaches(icom, [](const RadioState& s) { return s.hz[A] == 7'049'750; }));
    EXPECT_EQ(kenwood.state().hz[B], 28'100'000);
    EXPECT_EQ(icom.state().hz[B], 18'100'000);
}

TEST_F(RadioEndToEnd, ASlaveSwitchedOffAndOnIsBroughtToItsMasterAtOnce) {
    TForm1& f = startOn("TRACK=TRUE\nMASTER=0\nSLAVE=1\nSLAVEVFO=A\n");
    ASSERT_TRUE(radioReaches(kenwood, [](const RadioState& s) { return s.hz[A] == 14'100'000; }));

    kenwood.power(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.RigPanel2->ON(); }, 3'000));
    icom.turnKnob(10'120'000);
    icom.setMode(A, RadioMode::CW);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.RigPanel1->FreqA->text() == "10120"; }, 5'000));

    // Back by itself, and at the master's frequency with no further change of the master.
    kenwood.power(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.RigPanel2->ON(); }, 10'000));
    EXPECT_TRUE(radioReaches(kenwood, [](const RadioState& s) {
        return s.hz[A] == 10'120'000 && s.mode[A] == RadioMode::CW;
    }));
}

TEST_F(RadioEndToEnd, BehindRigctldAKenwoodLeadsOnOneLinkAndAWriteTheSlaveLostIsMadeAgain) {
    // Some Kenwoods never answer TY, Hamlib's question for the firmware: asked behind rigctld, it
    // holds the daemon for seconds.
    kenwood.ignore("TY");
    RigctldPeer rigctld(OmniRig::SharedRigctld::Radio{2031, kenwood.port(), 0, {"--vfo"}});
    CommandCountingProxy proxy(rigctld.port());
    TForm1& f = startOn("TRACK=TRUE\nMASTER=1\nSLAVE=0\nSLAVEVFO=A\n", proxy.address());
    ASSERT_TRUE(radioReaches(icom, [](const RadioState& s) { return s.hz[A] == 21'100'000; }));

    // VFO A's, even while the program visits VFO B at on-line, as some Hamlibs have it do.
    for (const int64_t hz : {21'074'000, 14'074'000, 7'074'000}) {
        kenwood.setFrequency(A, hz);
        EXPECT_TRUE(QTest::qWaitFor([&] { return icom.state().hz[A] == hz; }, 2'000)) << hz;
    }
    // A write the slave lost: its time-out, a poll, and the tracking step its report runs.
    icom.loseNextWrite();
    kenwood.turnKnob(7'040'000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return icom.state().hz[A] == 7'040'000; }, 3'000));
    EXPECT_EQ(proxy.connectionsAccepted(), 1) << "the link to rigctld was opened again";
    EXPECT_EQ(f.RigEventErrorText(), "");
}

TEST_F(RadioEndToEnd, AnFt891FollowsOnItsVfoAndSaysItCannotSelectVfoB) {
    // Once as built, and once on Hamlib's public functions alone, as on another Hamlib.
    for (const bool publicPath : {false, true}) {
        SCOPED_TRACE(publicPath ? "on the public path" : "as built");
        OmniRig::HamlibInternals::forcePublicPath(publicPath);
        YaesuEmulator yaesu;
        TForm1& f = startOnHamlib("[RIG1]\nMODEL=3073\nPORT=" + icom.port() +
                                  "\n[RIG2]\nMODEL=1036\nPORT=" + yaesu.port() +
                                  "\n[DIVIZURE]\nTRACK=TRUE\nMASTER=0\nSLAVE=1\nSLAVEVFO=A\n");
        icom.turnKnob(14'074'000);
        icom.setMode(A, RadioMode::PKTUSB);
        EXPECT_TRUE(radioReaches(yaesu, [](const RadioState& s) {
            return s.hz[A] == 14'074'000 && s.mode[A] == RadioMode::PKTUSB;
        }));
        EXPECT_EQ(f.RigEventErrorText(), "");

        f.SlaveVFOB->click();
        yaesu.clearReceived();
        icom.turnKnob(10'120'000);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return f.RigEventErrorText() == "Rig 2: FT-891 cannot select VFO B."; }, 5'000))
            << f.RigEventErrorText().toStdString();
        EXPECT_EQ(changesOffVfo(yaesu, -1), std::vector<std::string>{}) << "a VFO was written";
        window_.reset();
    }
    OmniRig::HamlibInternals::forcePublicPath(false);
}
