// The slave following the master while tracking is on.

#include "FormFixture.h"
#include "ParamBits.h"

using namespace OmniRig;
using OmniRig::Testing::ScriptedRigState;

namespace {

class Tracking : public FormFixture {
protected:
    // Tracking on, rig 1 master, rig 2 slave on VFO A; the calls of start-up are forgotten.
    TForm1& startTracking(const std::string& master, const std::string& slave,
                          const std::string& slaveVfo) {
        writeSettings("500", "NOT", "TRUE", master, slave, slaveVfo);
        TForm1& f = start();
        raiseStatus(2);
        master1().frequencyA = 14'025'000;
        master1().modeA = CW;
        slave2().vfo = VFOA;
        slave2().frequencyA = 7'000'000;
        slave2().frequencyB = 7'100'000;
        slave2().modeA = slave2().modeB = LSB;
        server->clearCalls();
        return f;
    }
    ScriptedRigState& master1() { return server->rig(1).state; }
    ScriptedRigState& slave2() { return server->rig(2).state; }
    // The calls from the first call to the slave's present VFO on.
    std::vector<std::string> trackingCalls() const {
        const auto& c = server->calls;
        for (size_t i = 0; i + 1 < c.size(); ++i) {
            if (c[i] == "rig2.Frequency?" && c[i + 1] == "rig2.FrequencyA?") {
                return {c.begin() + static_cast<long>(i), c.end()};
            }
        }
        return {};
    }
};

}  // namespace

TEST_F(Tracking, StampsIntoTheChosenVfoAndReturnsTheSlaveToItsOwn) {
    startTracking("0", "1", "B");
    raiseParams(1, FREQ);
    EXPECT_EQ(trackingCalls(), (std::vector<std::string>{
                                   "rig2.Frequency?", "rig2.FrequencyA?", "rig2.VfoBits=4096",
                                   "rig1.Frequency?", "rig2.Frequency=14025000", "rig1.ModeBits?",
                                   "rig2.ModeBits=8388608", "rig2.VfoBits=2048"}));
    EXPECT_EQ(slave2().frequencyB, 14'025'000);
    EXPECT_EQ(slave2().modeB, CW);
    EXPECT_EQ(slave2().frequencyA, 7'000'000);
    EXPECT_EQ(slave2().vfo, VFOA);
}

TEST_F(Tracking, WritesOnlyFrequencyAndModeWhenTheSlaveIsOnItsTargetVfo) {
    startTracking("0", "1", "A");
    raiseParams(1, FREQ);
    EXPECT_EQ(server->writes(),
              (std::vector<std::string>{"rig2.Frequency=14025000", "rig2.ModeBits=8388608"}));

    // The slave's own dial turned: its own event stamps the master's frequency back.
    slave2().frequencyA = 7'050'000;
    server->clearCalls();
    raiseParams(2, FREQA);
    EXPECT_EQ(server->writes(),
              (std::vector<std::string>{"rig2.Frequency=14025000", "rig2.ModeBits=8388608"}));
    EXPECT_EQ(slave2().frequencyA, 14'025'000);
}

TEST_F(Tracking, ASlaveWithBothVfosOnOneFrequencyCountsAsOnVfoA) {
    startTracking("0", "1", "A");
    slave2().vfo = VFOB;
    slave2().frequencyA = slave2().frequencyB = 7'100'000;
    raiseParams(1, FREQ);
    EXPECT_EQ(server->writes(),
              (std::vector<std::string>{"rig2.Frequency=14025000", "rig2.ModeBits=8388608"}));
    EXPECT_EQ(slave2().frequencyB, 14'025'000) << "written to the VFO the rig is really on";
}

TEST_F(Tracking, ListsWithoutAChoiceStampRigOneOntoItself) {
    startTracking("x", "-1", "A");
    ASSERT_EQ(form().MasterList->currentIndex(), -1);
    raiseParams(1, FREQ);
    EXPECT_EQ(server->writes(),
              (std::vector<std::string>{"rig1.Frequency=14025000", "rig1.ModeBits=8388608"}));
}

TEST_F(Tracking, AnOffLineRigsEventWritesNoRig) {
    startTracking("0", "1", "B");
    slave2().statusCode = 2;
    slave2().statusText = "Port is not available";
    raiseParams(2, ALL_PARAMS);
    EXPECT_TRUE(server->writes().empty());
    master1().statusCode = 3;
    raiseParams(1, FREQ);
    EXPECT_TRUE(server->writes().empty());
}

TEST_F(Tracking, CopiesTheFrequencyWithoutTheOffset) {
    TForm1& f = startTracking("0", "1", "A");
    f.OffsetButton->click();
    f.OffsetTrack->SetPosition(750);
    ASSERT_EQ(f.ActiveOffset(), 250);
    raiseParams(1, FREQ);
    EXPECT_EQ(slave2().frequencyA, 14'025'000);
}

TEST_F(Tracking, StaysQuietWhileTrackingIsOffAndSwitchingItOnDoesNotStamp) {
    TForm1& f = startTracking("0", "1", "A");
    f.TrackButton->click();
    EXPECT_FALSE(f.TrackButton->LEDOn());
    EXPECT_TRUE(f.Master->isHidden());
    raiseParams(1, FREQ);
    f.TrackButton->click();
    EXPECT_TRUE(f.TrackButton->LEDOn());
    EXPECT_FALSE(f.Slave->isHidden());
    EXPECT_TRUE(server->writes().empty());
    EXPECT_EQ(saved("TRACK"), "TRUE");
}

TEST_F(Tracking, AFailingWriteLeavesTheSlaveOnTheTargetVfo) {
    TForm1& f = startTracking("0", "1", "B");
    server->failCall("rig2.ModeBits=", E_FAILURE, "Mode refused", 1);
    raiseParams(1, FREQ);
    EXPECT_EQ(server->writes(),
              (std::vector<std::string>{"rig2.VfoBits=4096", "rig2.Frequency=14025000",
                                        "rig2.ModeBits=8388608"}));
    EXPECT_EQ(slave2().vfo, VFOB);
    EXPECT_EQ(f.RigEventErrorText(), "Rig 2: Mode refused.") << "the rig that refused";
}

TEST_F(Tracking, RigTwoLeadsOnceReadAndALineAboutRigOneClearsWhenItAnswers) {
    writeSettings("500", "NOT", "TRUE", "1", "0", "A");
    ScriptedRigState& slave1 = server->rig(1).state;
    ScriptedRigState& master2 = server->rig(2).state;
    master2.frequencyA = 0;  // not read yet
    TForm1& f = start();
    raiseParams(1, FREQ);
    for (const std::string& write : server->writes()) {
        EXPECT_NE(write.rfind("rig1.Frequency=", 0), 0u) << "no 0 Hz reaches rig 1: " << write;
    }
    EXPECT_EQ(slave1.frequencyA, 14'000'000);
    EXPECT_EQ(f.RigEventErrorText(), "");

    master2.frequencyA = 7'050'000;
    master2.modeA = LSB;
    server->failCall("rig1.Frequency=", E_FAILURE, "Frequency refused", 1);
    raiseParams(2, FREQ);
    EXPECT_EQ(f.RigEventErrorText(), "Rig 1: Frequency refused.");
    // Rig 1 has no event of its own to report; its next stamp going through clears the line.
    raiseParams(2, FREQ);
    EXPECT_EQ(slave1.frequencyA, 7'050'000);
    EXPECT_EQ(slave1.modeA, LSB);
    EXPECT_EQ(f.RigEventErrorText(), "");
}
