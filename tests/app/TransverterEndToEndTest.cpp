// The window on the Hamlib rig server with two real rigctld peers, rig 1 behind a transverter
// (a radio on a 28 MHz IF): its panel, tracking and transfers work in on-air frequencies, and
// an inverting mixer turns the sidebands over both ways.

#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <ostream>

#include "CommandCountingProxy.h"
#include "HamlibFormFixture.h"
#include "RigctldPeer.h"

using namespace OmniRig::Testing;

namespace {

struct Mixer {
    const char* name;
    const char* settings;  // rig 1's transverter keys
    // Rig 1's radio on 28.150 MHz USB: its panel's kHz and mode, and rig 2's frequency when it
    // follows; then rig 2's with the radio on 28.200 MHz.
    const char* onAirKhz;
    const char* onAirModeOfUsb;
    const char* rig2Hz;
    const char* rig2MovedHz;
    // What rig 1's radio is set to for 144.250 MHz on the air, and for LSB on the air.
    const char* radioHz;
    const char* radioModeOfLsb;
    // An on-air frequency on the far side of the LO, in Hz and as rig 2's panel shows it.
    const char* beyondHz;
    const char* beyondKhz;
};

const Mixer kMixers[] = {
    {"Upright", "LO=116000000\n", "144150", "USB", "144150000", "144200000", "28250000", "LSB",
     "7050000", " 7050"},
    // LO above the band: the radio tuning up moves the on-air frequency down.
    {"Inverted", "LO=172000000\nLO_INVERTED=TRUE\n", "143850", "LSB", "143850000", "143800000",
     "27750000", "USB", "432000000", "432000"},
};

void PrintTo(const Mixer& mixer, std::ostream* out) {
    *out << mixer.name;
}

class TransverterEndToEnd : public HamlibFormFixture, public ::testing::WithParamInterface<Mixer> {
protected:
    void SetUp() override {
        proxy1 = std::make_unique<CommandCountingProxy>(peer1.port());
        proxy2 = std::make_unique<CommandCountingProxy>(peer2.port());
        ASSERT_EQ(peer1.command("F 28150000").code, 0);
        ASSERT_EQ(peer1.command("M USB 2400").code, 0);
    }

    TForm1& startOnPeers(const std::string& window) {
        TForm1& f = startOnHamlib(
            "[RIG1]\nMODEL=2\nPORT=" + proxy1->address() + "\nPOLL=100\n" + GetParam().settings +
            "[RIG2]\nMODEL=2\nPORT=" + proxy2->address() + "\nPOLL=100\n[DIVIZURE]\n" + window);
        // The on-line visit to VFO B and back is over before a second client changes anything.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return proxy1->count("set_vfo") >= 2 && proxy2->count("set_vfo") >= 2; },
            10'000));
        return f;
    }

    bool peerReaches(RigctldPeer& peer, const std::string& hertz, const std::string& mode = "") {
        return QTest::qWaitFor(
            [&] {
                return peer.command("f").value("Frequency") == hertz &&
                       (mode.empty() || peer.command("m").value("Mode") == mode);
            },
            5'000);
    }

    RigctldPeer peer1;
    RigctldPeer peer2;
    std::unique_ptr<CommandCountingProxy> proxy1;
    std::unique_ptr<CommandCountingProxy> proxy2;
};

}  // namespace

TEST_P(TransverterEndToEnd, TheTransverterRigShowsAndLeadsOnTheAir) {
    const Mixer& m = GetParam();
    TForm1& f = startOnPeers("TRACK=TRUE\nMASTER=0\nSLAVE=1\nSLAVEVFO=A\n");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return f.RigPanel1->FreqA->text() == m.onAirKhz &&
                   f.RigPanel1->VFO_AMode->text() == m.onAirModeOfUsb;
        },
        5'000))
        << f.RigPanel1->FreqA->text().toStdString() << " "
        << f.RigPanel1->VFO_AMode->text().toStdString();
    EXPECT_TRUE(peerReaches(peer2, m.rig2Hz, m.onAirModeOfUsb));

    ASSERT_EQ(peer1.command("F 28200000").code, 0);
    EXPECT_TRUE(peerReaches(peer2, m.rig2MovedHz));
    EXPECT_EQ(f.RigEventErrorText(), "");
}

TEST_P(TransverterEndToEnd, WritesReachTheRadioOnItsIf) {
    const Mixer& m = GetParam();
    ASSERT_EQ(peer2.command("F 144250000").code, 0);
    ASSERT_EQ(peer2.command("M LSB 2400").code, 0);
    TForm1& f = startOnPeers("TRACK=FALSE\nMASTER=1\nSLAVE=0\nSLAVEVFO=A\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.RigPanel2->FreqA->text() == "144250"; }, 5'000));
    f.R2toR1->click();
    EXPECT_TRUE(peerReaches(peer1, m.radioHz));
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.RigPanel1->FreqA->text() == "144250"; }, 5'000));

    // From the master's next change, tracking copies the mode, turned over where the mixer inverts.
    ASSERT_EQ(peer1.command("M CW 500").code, 0);
    ASSERT_EQ(peer2.command("M USB 2400").code, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.RigPanel2->VFO_AMode->text() == "USB"; }, 5'000));
    f.TrackButton->click();
    ASSERT_TRUE(f.TrackButton->LEDOn());
    ASSERT_EQ(peer2.command("M LSB 2400").code, 0);
    EXPECT_TRUE(peerReaches(peer1, m.radioHz, m.radioModeOfLsb));
    f.TrackButton->click();

    // A frequency the radio cannot reach through the transverter is refused, not wrapped.
    ASSERT_EQ(peer2.command(std::string("F ") + m.beyondHz).code, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.RigPanel2->FreqA->text() == m.beyondKhz; }, 5'000));
    const size_t before = prompter->messages.size();
    f.R2toR1->click();
    ASSERT_EQ(prompter->messages.size(), before + 1);
    EXPECT_TRUE(prompter->messages.back().text.startsWith(
        QString(m.beyondHz) + " Hz is out of the transverter's range: the radio would be on -"))
        << prompter->messages.back().text.toStdString();
    EXPECT_EQ(peer1.command("f").value("Frequency"), m.radioHz);
}

INSTANTIATE_TEST_SUITE_P(Mixers, TransverterEndToEnd, ::testing::ValuesIn(kMixers),
                         [](const auto& info) { return std::string(info.param.name); });
