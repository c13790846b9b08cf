// The Hamlib rig server on an emulated IC-7300 opened by Hamlib's real CI-V backend.

#include <gtest/gtest.h>

#include <algorithm>

#include "IcomEmulator.h"
#include "RigStatus.h"
#include "RigWorker.h"
#include "ServerHarness.h"

using namespace OmniRig;
using namespace OmniRig::Testing;

TEST(RadioLink, AReadTheRadioNeverAnswersIsSetAsideAndTheLinkStaysUp) {
    IcomEmulator icom;
    icom.ignore("1C 00");  // PTT
    const std::string settings = "[RIG1]\nMODEL=3073\nPORT=" + icom.port() + "\n[RIG2]\nMODEL=0\n";
    ServerHarness h(settings.c_str());
    ASSERT_TRUE(h.waitForStatus(1, ST_ONLINE));
    auto statusEvents = [&] {
        return std::count_if(h.events.begin(), h.events.end(), [](const ReceivedEvent& e) {
            return e.dispId == DISPID_StatusChange && e.rig == 1;
        });
    };
    auto pttReads = [&] {
        const auto received = icom.received();
        return std::count_if(received.begin(), received.end(),
                             [](const ReceivedCommand& c) { return c.text == "1C 00"; });
    };
    const auto online = statusEvents();

    ASSERT_TRUE(h.waitFor([&] { return pttReads() >= RigWorker::kStrikes; }));
    for (const int64_t hz : {7'074'000, 7'075'000, 7'076'000, 7'077'000}) {
        icom.turnKnob(hz);
        EXPECT_TRUE(h.waitFor([&] { return h.rig(1).Frequency() == hz; })) << hz;
    }
    // Three reads, or one that Hamlib 4.6 and later send five times over before they give up.
    EXPECT_LE(pttReads(), 5) << "asked again after it was set aside";
    EXPECT_EQ(statusEvents(), online) << "the link was dropped";
    EXPECT_EQ(h.rig(1).StatusCode(), ST_ONLINE);
}
