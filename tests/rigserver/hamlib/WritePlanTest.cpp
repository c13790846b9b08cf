#include "WritePlan.h"

#include <gtest/gtest.h>

#include "ParamBits.h"

using namespace OmniRig;
using Kind = RadioOp::Kind;

namespace {

// Slave on VFO A at 7.000 MHz LSB, VFO B at 7.100 MHz LSB, split and RIT off.
RigState quietSlave() {
    RigState s;
    s.vfo = VFOA;
    s.freq = {7'000'000, 7'100'000};
    s.mode = {LSB, LSB};
    s.split = SPLITOFF;
    s.rit = RITOFF;
    return s;
}

// A radio that switches VFOs and reads neither VFO by name.
const RigAbilities kSwitching = RigAbilities::of(HamlibFacts{});

// The four writes of a stamp into VFO B while the slave is on VFO A.
std::vector<RigWrite> stampIntoB(int32_t hz, int32_t mode) {
    return {{RigWrite::Kind::Vfo, VFOB, VFOA},
            {RigWrite::Kind::Frequency, hz, VFOB},
            {RigWrite::Kind::Mode, mode, VFOB},
            {RigWrite::Kind::Vfo, VFOA, VFOB}};
}

}  // namespace

TEST(WritePlan, AStampIntoTheOtherVfoSwitchesThereWritesAndSwitchesBackInOrder) {
    const auto ops = planWrites(quietSlave(), stampIntoB(14'074'000, USB), kSwitching);
    EXPECT_EQ(ops, (std::vector<RadioOp>{{Kind::SelectVfo, VFOB, VFOB},
                                         {Kind::Frequency, 14'074'000, VFOB},
                                         {Kind::Mode, USB, VFOB},
                                         {Kind::SelectVfo, VFOA, VFOA}}));
}

TEST(WritePlan, AStampThatChangesNothingSendsNothingNotEvenTheSwitches) {
    EXPECT_TRUE(planWrites(quietSlave(), stampIntoB(7'100'000, LSB), kSwitching).empty());
    // The same values into the current VFO.
    const std::vector<RigWrite> same = {{RigWrite::Kind::Frequency, 7'000'000, VFOA},
                                        {RigWrite::Kind::Mode, LSB, VFOA}};
    EXPECT_TRUE(planWrites(quietSlave(), same, kSwitching).empty());
}

TEST(WritePlan, OnlyTheEffectiveWritesOfAStampReachTheRadio) {
    const auto ops = planWrites(quietSlave(), stampIntoB(7'100'000, USB), kSwitching);
    EXPECT_EQ(ops, (std::vector<RadioOp>{{Kind::SelectVfo, VFOB, VFOB},
                                         {Kind::Mode, USB, VFOB},
                                         {Kind::SelectVfo, VFOA, VFOA}}));
}

TEST(WritePlan, ALaterWriteIsComparedWithTheEarlierOnesNotWithThePoll) {
    // Away and back to the polled value: both must reach the radio, or it stays away.
    const std::vector<RigWrite> writes = {{RigWrite::Kind::Frequency, 7'010'000, VFOA},
                                          {RigWrite::Kind::Frequency, 7'000'000, VFOA}};
    const auto ops = planWrites(quietSlave(), writes, kSwitching);
    EXPECT_EQ(ops, (std::vector<RadioOp>{{Kind::Frequency, 7'010'000, VFOA},
                                         {Kind::Frequency, 7'000'000, VFOA}}));
}

TEST(WritePlan, ASwitchOfItsOwnIsKeptAndUnknownValuesAreAlwaysWritten) {
    const std::vector<RigWrite> select = {{RigWrite::Kind::Vfo, VFOB, VFOA}};
    EXPECT_EQ(planWrites(quietSlave(), select, kSwitching),
              (std::vector<RadioOp>{{Kind::SelectVfo, VFOB, VFOB}}));

    RigState unknown;  // nothing read yet: not even the VFO is known
    const auto ops = planWrites(unknown, stampIntoB(7'100'000, LSB), kSwitching);
    EXPECT_EQ(ops, (std::vector<RadioOp>{{Kind::SelectVfo, VFOB, VFOB},
                                         {Kind::Frequency, 7'100'000, VFOB},
                                         {Kind::Mode, LSB, VFOB},
                                         {Kind::SelectVfo, VFOA, VFOA}}));
}

TEST(WritePlan, SplitAndRitAreWrittenOnlyWhenTheyChangeOnTheSelectedVfo) {
    const std::vector<RigWrite> online = {{RigWrite::Kind::Split, SPLITOFF, VFOA},
                                          {RigWrite::Kind::Rit, RITOFF, VFOA}};
    EXPECT_TRUE(planWrites(quietSlave(), online, kSwitching).empty());

    RigState busy = quietSlave();
    busy.split = SPLITON;
    busy.rit = RITON;
    const std::vector<RigWrite> onB = {{RigWrite::Kind::Vfo, VFOB, VFOA},
                                       {RigWrite::Kind::Split, SPLITOFF, VFOB},
                                       {RigWrite::Kind::Rit, RITOFF, VFOB}};
    EXPECT_EQ(planWrites(busy, onB, kSwitching),
              (std::vector<RadioOp>{{Kind::SelectVfo, VFOB, VFOB},
                                    {Kind::Split, SPLITOFF, VFOB},
                                    {Kind::Rit, RITOFF, VFOB}}));
}
