// The rig panels following the rig server's events.

#include "FormFixture.h"
#include "ParamBits.h"

using namespace OmniRig;

namespace {

class RigDisplay : public FormFixture {
protected:
    QString freqA(TRigPanel* p) const { return p->FreqA->text() + "|" + p->FreqADec->text(); }
    QString freqB(TRigPanel* p) const { return p->FreqB->text() + "|" + p->FreqBDec->text(); }
};

}  // namespace

TEST_F(RigDisplay, ComingOnLineSetsAKnownStateAndShowsBothVfos) {
    auto& rig = server->rig(2).state;
    rig.typeText = "IC-7300";
    rig.frequencyA = 7'012'340;
    rig.frequencyB = 7'025'000;
    rig.modeA = CW;
    rig.modeB = LSB;
    rig.split = SPLITON;
    rig.vfo = VFOB;
    TForm1& f = start();
    server->clearCalls();

    raiseStatus(2);
    EXPECT_EQ(server->rigCalls(2),
              (std::vector<std::string>{
                  "rig2.StatusText?", "rig2.StatusText?", "rig2.StatusText?", "rig2.StatusText?",
                  "rig2.StatusText?", "rig2.TypeText?", "rig2.VfoBits=2048", "rig2.Frequency?",
                  "rig2.ModeBits?", "rig2.SplitBits=65536", "rig2.RitBits=262144",
                  "rig2.VfoBits=4096", "rig2.Frequency?", "rig2.ModeBits?", "rig2.VfoBits=2048"}));
    TRigPanel* panel = f.RigPanel2;
    EXPECT_TRUE(panel->ON());
    EXPECT_EQ(panel->ID(), 2);
    EXPECT_EQ(panel->Name(), "IC-7300");
    EXPECT_EQ(freqA(panel), " 7012|34");
    EXPECT_EQ(freqB(panel), " 7025|00");
    EXPECT_EQ(panel->VFO_AMode->text(), "CW");
    EXPECT_EQ(panel->VFO_BMode->text(), "LSB");
    // The panel names VFO B while the rig is back on VFO A, until the next change is reported.
    EXPECT_EQ(panel->VFO(), VFOB);
    EXPECT_EQ(rig.vfo, VFOA);
    EXPECT_EQ(rig.split, SPLITOFF);
    EXPECT_EQ(rig.rit, RITOFF);
    raiseParams(2, VFOA);
    EXPECT_EQ(panel->VFO(), VFOA);
}

TEST_F(RigDisplay, StartUpShowsRigOneWithEveryParameterBitSet) {
    TForm1& f = start();
    EXPECT_TRUE(f.RigPanel1->ON());
    EXPECT_EQ(f.RigPanel1->TX(), TX) << "TX is applied after RX";
    EXPECT_EQ(f.RigPanel1->RigLED->Color1(), clMaroon);
    EXPECT_FALSE(f.RigPanel2->ON()) << "rig 2 is first shown when its own events arrive";
    raiseParams(1, RX);
    EXPECT_EQ(f.RigPanel1->TX(), RX);

    // Both split bits are applied in turn; the rig's own split state has the last word.
    server->rig(1).state.split = SPLITON;
    raiseParams(1, ALL_PARAMS);
    EXPECT_EQ(f.RigPanel1->Split(), SPLITON);
    server->rig(1).state.split = SPLITOFF;
    raiseParams(1, SPLITON);
    EXPECT_EQ(f.RigPanel1->Split(), SPLITOFF);
}

TEST_F(RigDisplay, StatusTextsSwitchThePanelOff) {
    TForm1& f = start();
    TRigPanel* panel = f.RigPanel2;
    auto& rig = server->rig(2).state;
    struct Case {
        const char* status;
        bool on;
        const char* shown;
    };
    for (const Case& c : {Case{"Port is not available", false, "Port is not available"},
                          Case{"Rig is not responding", false, ""},
                          Case{"rig IS NOT configured: model 99999", false, ""},
                          Case{"port is not available", true, "port is not available"},
                          Case{"Connecting", true, "Connecting"}}) {
        rig.statusText = "On-line";
        raiseStatus(2);
        ASSERT_TRUE(panel->ON());
        rig.statusText = c.status;
        raiseStatus(2);
        EXPECT_EQ(panel->ON(), c.on) << c.status;
        EXPECT_EQ(panel->RigStatus->text(), c.shown) << c.status;
    }
}

TEST_F(RigDisplay, FrequenciesModesAndTheActiveVfoFollowEveryChange) {
    TForm1& f = start();
    auto& rig = server->rig(1).state;
    TRigPanel* panel = f.RigPanel1;
    const std::pair<int32_t, const char*> shown[] = {{14'025'379, "14025|37"},
                                                     {7'000'000, " 7000|00"},
                                                     {999, "    0|99"},
                                                     {0, "-----|--"},
                                                     {144'300'000, "144300|00"}};
    for (const auto& [hertz, text] : shown) {
        rig.frequencyA = hertz;
        raiseParams(1, FREQA);
        EXPECT_EQ(freqA(panel), text);
    }
    for (const auto& [mode, text] : {std::pair{DIG_R, "DIG"}, {USB | LSB, "??"}, {0, "??"}}) {
        rig.modeA = mode;
        raiseParams(1, 0);
        EXPECT_EQ(panel->VFO_AMode->text(), text);
    }
    rig.vfo = VFOB;
    rig.frequencyB = 7'100'000;
    raiseParams(1, VFOB);
    EXPECT_EQ(panel->VFO(), VFOB);
    EXPECT_EQ(freqB(panel), " 7100|00");
    // On VFO B with both VFOs on one frequency, the rig is shown on VFO A.
    rig.frequencyA = 7'100'000;
    raiseParams(1, 0);
    EXPECT_EQ(panel->VFO(), VFOA);
}

TEST_F(RigDisplay, AnOffLineRigOnlyShowsItsStatus) {
    TForm1& f = start();
    auto& rig = server->rig(1).state;
    rig.statusCode = 3;
    rig.statusText = "Rig is not responding";
    rig.frequencyA = 3'500'000;
    server->clearCalls();
    raiseParams(1, ALL_PARAMS);
    EXPECT_EQ(server->rigCalls(1),
              (std::vector<std::string>{"rig1.StatusCode?", "rig1.StatusText?"}));
    EXPECT_EQ(f.RigPanel1->RigStatus->text(), "Rig is not responding");
    EXPECT_TRUE(f.RigPanel1->ON()) << "only a status event switches it off";
}

TEST_F(RigDisplay, AnErrorEndsTheHandlerKeepsWhatItShowedAndIsNotAModalBox) {
    TForm1& f = start();
    auto& rig = server->rig(2).state;
    raiseStatus(2);
    rig.typeText = "FT-991A";
    rig.modeA = AM;
    rig.frequencyA = 3'600'000;
    rig.frequencyB = 3'700'000;
    server->failCall("rig2.FrequencyB", E_FAILURE, "Rig 2 stopped answering", 1);
    raiseParams(2, FREQA | FREQB);

    TRigPanel* panel = f.RigPanel2;
    EXPECT_EQ(panel->Name(), "FT-991A");
    EXPECT_EQ(panel->VFO_AMode->text(), "AM");
    EXPECT_EQ(freqA(panel), " 3600|00");
    EXPECT_EQ(freqB(panel), "-----|") << "what the handler showed before the failing call stays";
    EXPECT_TRUE(prompter->messages.empty());
    EXPECT_EQ(f.RigEventErrorText(), "Rig 2: Rig 2 stopped answering.");

    raiseParams(2, FREQB);
    EXPECT_EQ(freqB(panel), " 3700|00");
    EXPECT_EQ(f.RigEventErrorText(), "") << "the next event that goes through clears it";
}

TEST_F(RigDisplay, ARigFailingAtEveryPollNeverBuriesTheOperatorInBoxes) {
    TForm1& f = start();
    server->failCall("rig1.StatusCode", E_FAILURE, "Timeout");
    for (int i = 0; i < 20; ++i) {
        raiseParams(1, FREQ);
    }
    EXPECT_TRUE(prompter->messages.empty());
    EXPECT_EQ(f.RigEventErrorText(), "Rig 1: Timeout.");
}

TEST_F(RigDisplay, EventsForAnotherRigNumberCallNothingAndChangeNothing) {
    TForm1& f = start();
    const QString name = f.RigPanel1->Name();
    server->clearCalls();
    for (int32_t id : {DISPID_RigTypeChange, DISPID_StatusChange}) {
        server->raise(id, {Variant(int32_t{3})});
    }
    raiseParams(0, ALL_PARAMS);
    raiseParams(3, ALL_PARAMS);
    EXPECT_TRUE(server->calls.empty());
    EXPECT_EQ(f.RigPanel1->Name(), name);
    EXPECT_TRUE(f.RigPanel1->ON());
    EXPECT_FALSE(f.RigPanel2->ON());
}
