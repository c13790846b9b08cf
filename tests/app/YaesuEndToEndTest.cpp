// The window on the Hamlib rig server with an emulated FT-891 as the slave, a radio Hamlib cannot
// switch between its VFOs, behind the emulated IC-7300 as the master: it follows on the VFO it
// is on, and says it cannot select VFO B rather than doing nothing. Once as built, and once on
// Hamlib's public functions alone, as on a Hamlib other than the one the program was built for.

#include <gtest/gtest.h>

#include <QTest>

#include "HamlibFormFixture.h"
#include "HamlibInternals.h"
#include "IcomEmulator.h"
#include "YaesuEmulator.h"

using namespace OmniRig::Testing;

namespace {

constexpr int A = RadioState::A;
constexpr int B = RadioState::B;

class YaesuEndToEnd : public HamlibFormFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        OmniRig::HamlibInternals::forcePublicPath(GetParam());
        yaesu.setFrequency(B, 18'100'000);
    }
    void TearDown() override {
        HamlibFormFixture::TearDown();
        OmniRig::HamlibInternals::forcePublicPath(false);
    }

    IcomEmulator icom;
    YaesuEmulator yaesu;
};

}  // namespace

TEST_P(YaesuEndToEnd, TheFt891FollowsOnItsVfoAndSaysItCannotSelectVfoB) {
    TForm1& f = startOnHamlib("[RIG1]\nMODEL=3073\nPORT=" + icom.port() +
                              "\n[RIG2]\nMODEL=1036\nPORT=" + yaesu.port() +
                              "\n[DIVIZURE]\nTRACK=TRUE\nMASTER=0\nSLAVE=1\nSLAVEVFO=A\n");
    for (const auto& [hz, mode] : {std::pair{14'074'000, RadioMode::PKTUSB},
                                   {7'012'500, RadioMode::CW},
                                   {3'650'000, RadioMode::LSB}}) {
        icom.turnKnob(hz);
        icom.setMode(A, mode);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return yaesu.state().hz[A] == hz && yaesu.state().mode[A] == mode; }, 5'000))
            << hz << " " << modeName(mode);
    }
    EXPECT_EQ(f.RigEventErrorText(), "");

    f.SlaveVFOB->click();
    yaesu.clearReceived();
    icom.turnKnob(10'120'000);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return f.RigEventErrorText() == "Rig 2: FT-891 cannot select VFO B."; }, 5'000))
        << f.RigEventErrorText().toStdString();
    for (const ReceivedCommand& c : yaesu.received()) {
        EXPECT_EQ(c.changed, -1) << c.text << " changed a VFO";
    }
    EXPECT_EQ(yaesu.state().hz[A], 3'650'000);
}

INSTANTIATE_TEST_SUITE_P(Hamlib, YaesuEndToEnd, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "PublicPath" : "AsBuilt"; });
