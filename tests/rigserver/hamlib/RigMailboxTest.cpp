#include "RigMailbox.h"

#include <gtest/gtest.h>

#include "ParamBits.h"

using namespace OmniRig;
using Kind = RigWrite::Kind;

namespace {

RigState onA() {
    RigState s;
    s.vfo = VFOA;
    s.freq = {7'000'000, 7'100'000};
    s.mode = {LSB, LSB};
    return s;
}

void stamp(RigMailbox& box, int32_t hz) {
    box.queue(Kind::Vfo, VFOB);
    box.queue(Kind::Frequency, hz);
    box.queue(Kind::Mode, USB);
    box.queue(Kind::Vfo, VFOA);
}

}  // namespace

TEST(RigMailbox, WritesShowInTheViewAtOnceAndLeaveItWithThePublishAfterTheyWereTaken) {
    RigMailbox box("Dummy", RigStatus::online());
    box.publish(onA(), RigStatus::online());
    EXPECT_TRUE(box.queue(Kind::Vfo, VFOB));
    EXPECT_FALSE(box.queue(Kind::Frequency, 14'074'000));
    EXPECT_EQ(box.view().currentFrequency(), 14'074'000);
    EXPECT_TRUE(box.takeWrites().empty()) << "taken before the batch was handed over";

    box.flush();
    EXPECT_EQ(box.takeWrites(), (std::vector<RigWrite>{{Kind::Vfo, VFOB, VFOA},
                                                       {Kind::Frequency, 14'074'000, VFOB}}));
    // Taken but not yet shown by a poll: the view keeps them.
    EXPECT_EQ(box.view().freq[1], 14'074'000);
    RigState polled = onA();
    polled.vfo = VFOB;
    polled.freq[1] = 14'074'000;
    box.publish(polled, RigStatus::online());
    EXPECT_EQ(box.view(), polled);
}

TEST(RigMailbox, StampsTheWorkerHasNotTakenCollapseToTheLastInTheirOrder) {
    RigMailbox box("Dummy", RigStatus::online());
    box.publish(onA(), RigStatus::online());
    for (int i = 0; i < 1000; ++i) {
        stamp(box, 14'000'000 + i);
        box.flush();
    }
    box.queue(Kind::Split, SPLITOFF);
    box.flush();
    EXPECT_EQ(box.takeWrites(), (std::vector<RigWrite>{{Kind::Vfo, VFOB, VFOA},
                                                       {Kind::Frequency, 14'000'999, VFOB},
                                                       {Kind::Mode, USB, VFOB},
                                                       {Kind::Vfo, VFOA, VFOB},
                                                       {Kind::Split, SPLITOFF, VFOA}}));
    // A write already with the worker is not replaced: it may be on its way to the radio.
    stamp(box, 3'500'000);
    box.flush();
    EXPECT_EQ(box.takeWrites(), (std::vector<RigWrite>{{Kind::Vfo, VFOB, VFOA},
                                                       {Kind::Frequency, 3'500'000, VFOB},
                                                       {Kind::Mode, USB, VFOB},
                                                       {Kind::Vfo, VFOA, VFOB}}));
    EXPECT_EQ(box.view().freq[1], 3'500'000);
}
