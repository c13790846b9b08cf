#include "HamlibRigServer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "EventPump.h"
#include "RigServerError.h"
#include "ServerHarness.h"
#include "ThreadCount.h"

using namespace OmniRig;
using namespace OmniRig::Testing;

namespace {

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int count(const std::vector<ReceivedEvent>& events, int32_t id, int32_t rig) {
    int n = 0;
    for (const auto& e : events) {
        n += e.dispId == id && e.rig == rig;
    }
    return n;
}

class RecordingWindow : public SettingsWindow {
public:
    explicit RecordingWindow(std::vector<bool>& shown) : shown_(shown) {}
    void setVisible(bool visible) override { shown_.push_back(visible); }

private:
    std::vector<bool>& shown_;
};

}  // namespace

TEST(HamlibRigServer, WithoutASettingsFileBothRigsAreOnlineDummyRigs) {
    ServerHarness h(nullptr);
    ASSERT_TRUE(h.waitForStatus(1, ST_ONLINE));
    ASSERT_TRUE(h.waitForStatus(2, ST_ONLINE));
    for (int n : {1, 2}) {
        RigObject rig = h.rig(n);
        EXPECT_EQ(rig.TypeText(), "Dummy");
        EXPECT_EQ(rig.StatusText(), "On-line");
        EXPECT_TRUE(h.waitFor([&] { return h.received(n, FREQ | FREQA | VFOA); }));
        EXPECT_GT(rig.FrequencyA(), 0);
        EXPECT_EQ(rig.Frequency(), rig.FrequencyA());
        EXPECT_GE(count(h.events, DISPID_StatusChange, n), 1);
    }
    EXPECT_FALSE(h.eventOffThread);
    h.shutDown();
    EXPECT_FALSE(std::filesystem::exists(h.settingsPath()));
}

TEST(HamlibRigServer, AnUnusableSectionLeavesItsRigNotConfiguredAndTheFileUntouched) {
    const char* settings =
        "[DIVIZURE]\r\nOFFSET=123\r\nTRACK=1\r\n[RIG1]\r\nMODEL=99999\r\n[RIG2]\r\nMODEL=0\r\n";
    ServerHarness h(settings);
    RigObject rig1 = h.rig(1);
    RigObject rig2 = h.rig(2);
    EXPECT_EQ(rig1.StatusCode(), ST_NOTCONFIGURED);
    EXPECT_EQ(rig1.StatusText(), "Rig is not configured: unknown model 99999");
    EXPECT_EQ(rig1.TypeText(), "NONE");
    EXPECT_EQ(rig2.StatusText(), "Rig is not configured");
    EXPECT_EQ(rig2.TypeText(), "NONE");
    // Writes to a rig that is not there are accepted and go nowhere.
    EXPECT_NO_THROW(rig2.SetSplitBits(SPLITOFF));
    h.shutDown();
    EXPECT_EQ(contents(h.settingsPath()), settings);
}

TEST(HamlibRigServer, ReadsAnswerAtOnceForTheVfoJustSelectedAndWritesReachTheRadio) {
    ServerHarness h("[RIG1]\nMODEL=1\nPOLL=50\n[RIG2]\nMODEL=0\n");
    ASSERT_TRUE(h.waitForStatus(1, ST_ONLINE));
    ASSERT_TRUE(h.waitFor([&] { return h.received(1, FREQA | FREQB); }));
    RigObject rig = h.rig(1);
    const int32_t a = rig.FrequencyA();

    rig.SetVfoBits(VFOB);
    EXPECT_EQ(rig.Frequency(), rig.FrequencyB());
    rig.SetFrequency(7'050'000);
    rig.SetModeBits(DIG);
    EXPECT_EQ(rig.Frequency(), 7'050'000);
    EXPECT_EQ(rig.ModeBits(), DIG);
    rig.SetVfoBits(VFOA);
    EXPECT_EQ(rig.Frequency(), a);
    EXPECT_EQ(rig.FrequencyB(), 7'050'000);

    // The radio reports the new VFO B back, and the view never falls back meanwhile.
    ASSERT_TRUE(h.waitFor([&] {
        EXPECT_EQ(rig.FrequencyB(), 7'050'000);
        return h.events.back().dispId == DISPID_ParamsChange &&
               (h.events.back().params & FREQB) != 0;
    }));
    EXPECT_EQ(rig.Frequency(), a);
    rig.SetVfoBits(VFOB);
    EXPECT_EQ(rig.ModeBits(), DIG);
    EXPECT_FALSE(h.eventOffThread);
}

TEST(HamlibRigServer, RefusesValuesThatAreNoParameterBits) {
    ServerHarness h("[RIG1]\nMODEL=0\n[RIG2]\nMODEL=0\n");
    RigObject rig = h.rig(1);
    EXPECT_THROW(rig.SetVfoBits(VFOA | VFOB), RigServerError);
    EXPECT_THROW(rig.SetFrequency(-7'000'000), RigServerError);
    EXPECT_THROW(rig.SetModeBits(CW | USB), RigServerError);
    EXPECT_THROW(rig.SetSplitBits(RITOFF), RigServerError);
    EXPECT_THROW(rig.SetRitBits(SPLITOFF), RigServerError);
    // 0 Hz is a frequency not known, never one to tune to.
    EXPECT_THROW(rig.SetFrequency(0), RigServerError);
    // A master in a mode without a bit reads 0; stamping it changes nothing, and the stamp goes
    // on to switch the slave back to its own VFO.
    EXPECT_NO_THROW(rig.SetModeBits(0));
}

TEST(HamlibRigServer, TheSettingsWindowIsShownThroughItsHookAndEachChangeRaisesAnEvent) {
    EventPump pump;
    std::vector<bool> shown;
    int made = 0;
    auto server = std::make_shared<HamlibRigServer>(
        std::filesystem::path("/nonexistent/zr.ini"), pump.dispatcher(), [&](HamlibRigServer&) {
            ++made;
            return std::make_unique<RecordingWindow>(shown);
        });
    TOmniRigX client([server](std::shared_ptr<IOmniRigX>& s) {
        s = server;
        return RigResult::ok();
    });
    int visibleEvents = 0;
    client.OnVisibleChange = [&](TOmniRigX*) { ++visibleEvents; };
    client.Connect();

    client.SetSettingsDialogVisible(true);
    // Events never reach the client inside its own call.
    EXPECT_EQ(visibleEvents, 0);
    EXPECT_TRUE(client.SettingsDialogVisible());
    client.SetSettingsDialogVisible(true);
    pump.pumpPending();
    EXPECT_EQ(visibleEvents, 1);

    server->settingsWindowClosed();
    pump.pumpPending();
    EXPECT_EQ(visibleEvents, 2);
    EXPECT_FALSE(client.SettingsDialogVisible());
    client.SetSettingsDialogVisible(true);
    client.SetSettingsDialogVisible(false);
    pump.pumpPending();
    EXPECT_EQ(visibleEvents, 4);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(shown, (std::vector<bool>{true, true, false}));
}

TEST(HamlibRigServer, ConnectAttachesToTheRunningInstanceAndStartsOneWhenNoneRuns) {
    EventPump pump;
    auto first = HamlibRigServer::factory("/nonexistent/a.ini", pump.dispatcher());
    auto second = HamlibRigServer::factory("/nonexistent/b.ini", pump.dispatcher());
    std::shared_ptr<IOmniRigX> a, b, c;
    ASSERT_FALSE(first(a).failed());
    ASSERT_FALSE(second(b).failed());
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::dynamic_pointer_cast<HamlibRigServer>(b)->settingsPath(), "/nonexistent/a.ini");
    a.reset();
    b.reset();
    ASSERT_FALSE(second(c).failed());
    EXPECT_EQ(std::dynamic_pointer_cast<HamlibRigServer>(c)->settingsPath(), "/nonexistent/b.ini");
}

TEST(HamlibRigServer, ANewModelInTheSettingsRaisesRigTypeChangeAndComesOnline) {
    ServerHarness h("[RIG1]\nMODEL=0\n[RIG2]\nMODEL=0\n");
    EXPECT_EQ(h.rig(2).TypeText(), "NONE");
    std::ofstream(h.settingsPath(), std::ios::binary) << "[RIG1]\nMODEL=0\n[RIG2]\nMODEL=1\n";
    h.server()->reloadSettings();
    EXPECT_EQ(h.rig(2).TypeText(), "Dummy");
    ASSERT_TRUE(h.waitForStatus(2, ST_ONLINE));
    EXPECT_EQ(count(h.events, DISPID_RigTypeChange, 2), 1);
    EXPECT_EQ(count(h.events, DISPID_RigTypeChange, 1), 0);
}

TEST(HamlibRigServer, ShutdownLeavesNoThreadBehind) {
    const int before = threadCount();
    {
        ServerHarness h(nullptr);
        ASSERT_TRUE(h.waitForStatus(1, ST_ONLINE));
        EXPECT_GT(threadCount(), before);
    }
    EXPECT_EQ(threadCount(), before);
}
