#include <gtest/gtest.h>

#include "ModeMap.h"
#include "ParamBits.h"
#include "RigState.h"

using namespace OmniRig;

namespace {

RigState onA() {
    RigState s;
    s.vfo = VFOA;
    s.freq = {14'000'000, 14'100'000};
    s.mode = {USB, CW};
    s.split = SPLITOFF;
    s.rit = RITOFF;
    s.tx = RX;
    return s;
}

}  // namespace

TEST(ChangedParams, ReportExactlyWhatChanged) {
    const RigState before = onA();
    EXPECT_EQ(changedParams(before, before), 0);

    RigState dial = before;
    dial.freq[0] = 14'001'000;
    EXPECT_EQ(changedParams(before, dial), FREQ | FREQA);

    RigState other = before;
    other.freq[1] = 14'200'000;
    EXPECT_EQ(changedParams(before, other), FREQB);

    // Switching to B changes the current frequency and mode without touching either VFO.
    RigState switched = before;
    switched.vfo = VFOB;
    EXPECT_EQ(changedParams(before, switched), VFOB | FREQ | CW);

    RigState keyed = before;
    keyed.split = SPLITON;
    keyed.rit = RITON;
    keyed.tx = TX;
    EXPECT_EQ(changedParams(before, keyed), SPLITON | RITON | TX);
    EXPECT_EQ(changedParams(keyed, before), SPLITOFF | RITOFF | RX);
}

TEST(ChangedParams, AFirstPollReportsAllThatIsKnownAndAnUnmappedModeIsUnknown) {
    EXPECT_EQ(changedParams(RigState{}, onA()),
              FREQ | FREQA | FREQB | VFOA | SPLITOFF | RITOFF | RX | USB);

    RigState wideFm = onA();
    wideFm.mode[0] = 0;
    EXPECT_EQ(changedParams(onA(), wideFm), UNKNOWN);
    // Values that become unknown (a link restarted) are not reported as changes.
    RigState forgotten = onA();
    forgotten.freq[1] = 0;
    EXPECT_EQ(changedParams(onA(), forgotten), 0);
}

TEST(RigStateView, AReadAfterAVfoWriteAnswersForThatVfo) {
    RigState s = onA();
    s.apply({RigWrite::Kind::Vfo, VFOB, VFOA});
    EXPECT_EQ(s.currentFrequency(), 14'100'000);
    EXPECT_EQ(s.currentMode(), CW);
    s.apply({RigWrite::Kind::Frequency, 7'050'000, VFOB});
    s.apply({RigWrite::Kind::Vfo, VFOA, VFOB});
    EXPECT_EQ(s.currentFrequency(), 14'000'000);
    EXPECT_EQ(s.freq[1], 7'050'000);
}

TEST(ModeMap, MapsTheSixPlainModesBothWays) {
    const std::pair<rmode_t, int32_t> plain[] = {{RIG_MODE_CW, CW},   {RIG_MODE_CWR, CW_R},
                                                 {RIG_MODE_USB, USB}, {RIG_MODE_LSB, LSB},
                                                 {RIG_MODE_AM, AM},   {RIG_MODE_FM, FM}};
    for (const auto& [hamlib, bit] : plain) {
        EXPECT_EQ(modeBitOf(hamlib), bit);
        EXPECT_EQ(hamlibModeOf(bit, RIG_MODE_NONE), hamlib);
    }
}

TEST(ModeMap, DataModesRoundTripThroughDigAndRttyReadsAsDigByItsSideband) {
    EXPECT_EQ(modeBitOf(RIG_MODE_PKTUSB), DIG);
    EXPECT_EQ(modeBitOf(RIG_MODE_RTTYR), DIG);
    EXPECT_EQ(modeBitOf(RIG_MODE_PKTLSB), DIG_R);
    EXPECT_EQ(modeBitOf(RIG_MODE_RTTY), DIG_R);
    EXPECT_EQ(modeBitOf(RIG_MODE_PKTFM), FM);
    EXPECT_EQ(modeBitOf(RIG_MODE_WFM), 0);

    // An FT8 operator's data mode on USB reaches the slave as its data mode on USB.
    const rmode_t full = RIG_MODE_USB | RIG_MODE_LSB | RIG_MODE_PKTUSB | RIG_MODE_PKTLSB |
                         RIG_MODE_RTTY | RIG_MODE_RTTYR;
    EXPECT_EQ(hamlibModeOf(DIG, full), RIG_MODE_PKTUSB);
    EXPECT_EQ(hamlibModeOf(DIG_R, full), RIG_MODE_PKTLSB);
    EXPECT_EQ(hamlibModeOf(DIG, RIG_MODE_NONE), RIG_MODE_PKTUSB);
    // A radio without data modes: its RTTY on that sideband, else the sideband itself.
    EXPECT_EQ(hamlibModeOf(DIG_R, RIG_MODE_LSB | RIG_MODE_RTTY), RIG_MODE_RTTY);
    EXPECT_EQ(hamlibModeOf(DIG, RIG_MODE_USB | RIG_MODE_LSB), RIG_MODE_USB);
    EXPECT_EQ(hamlibModeOf(UNKNOWN, RIG_MODE_USB), RIG_MODE_NONE);
}
