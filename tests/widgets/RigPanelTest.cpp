#include "RigPanel.h"

#include <gtest/gtest.h>

#include "ParamBits.h"

using namespace OmniRig;

namespace {

class RigPanelTest : public ::testing::Test {
protected:
    QWidget window;
    TRigPanel* panel = new TRigPanel(&window);

    void switchOn() { panel->SetON(true); }
    QString freqA() const { return panel->FreqA->text() + "|" + panel->FreqADec->text(); }
    QString freqB() const { return panel->FreqB->text() + "|" + panel->FreqBDec->text(); }
};

}  // namespace

TEST_F(RigPanelTest, ConstructionLeavesTheOffStateWithNoPlaceholderShowing) {
    EXPECT_FALSE(panel->ON());
    EXPECT_EQ(panel->Name(), "");
    EXPECT_EQ(panel->RigStatus->text(), "");
    EXPECT_EQ(panel->RigID->text(), "");
    EXPECT_EQ(panel->Split(), SPLITOFF);
    EXPECT_EQ(panel->RIT(), RITOFF);
    EXPECT_EQ(panel->VFO(), 0);
    EXPECT_EQ(panel->RigLED->OffColor2(), clGreen);
    for (QLabel* l : {panel->FreqA, panel->FreqADec, panel->FreqB, panel->FreqBDec, panel->VFO_A,
                      panel->VFO_B, panel->VFO_AMode, panel->VFO_BMode, panel->VFO_ASplit,
                      panel->VFO_BSplit, panel->VFO_ARit, panel->VFO_BRit}) {
        EXPECT_TRUE(l->isHidden()) << l->text().toStdString();
    }
    EXPECT_EQ(panel->VFO_AMode->text(), "USB");
}

TEST_F(RigPanelTest, FrequencyShowsWholeKilohertzAndTruncatedTensOfHertz) {
    switchOn();
    const std::pair<int32_t, const char*> cases[] = {
        {14'025'379, "14025|37"}, {7'000'000, " 7000|00"},    {999, "    0|99"},
        {0, "-----|--"},          {144'300'000, "144300|00"},
    };
    for (const auto& [hertz, shown] : cases) {
        panel->SetFreq(hertz);
        EXPECT_EQ(freqA(), shown) << hertz;
    }
    EXPECT_EQ(freqB(), "-----|") << "VFO B's display untouched while A is active";
    panel->SetVFO(VFOB);
    panel->SetFreq(7'050'120);
    EXPECT_EQ(freqB(), " 7050|12");
    EXPECT_EQ(freqA(), "144300|00");
}

TEST_F(RigPanelTest, ModeTextsAndColoursFollowTheActiveVfo) {
    EXPECT_EQ(TRigPanel::ModeText(DIG_R), "DIG");
    EXPECT_EQ(TRigPanel::ModeText(CW_R), "CW-R");
    EXPECT_EQ(TRigPanel::ModeText(USB | LSB), "??");
    EXPECT_EQ(TRigPanel::ModeText(0), "??");

    switchOn();
    panel->SetVFO(VFOB);
    panel->SetMode(LSB);
    EXPECT_EQ(panel->VFO_BMode->text(), "LSB");
    EXPECT_EQ(panel->VFO_AMode->text(), "USB");
    for (QLabel* l : {panel->VFO_B, panel->FreqB, panel->FreqBDec, panel->VFO_BMode}) {
        EXPECT_EQ(labelTextColor(l), clLime);
    }
    for (QLabel* l : {panel->VFO_A, panel->FreqA, panel->FreqADec, panel->VFO_AMode}) {
        EXPECT_EQ(labelTextColor(l), clGreen);
    }
    EXPECT_EQ(labelTextColor(panel->VFO_BSplit), clGreen);
    EXPECT_EQ(labelTextColor(panel->VFO_BRit), clGreen);
}

TEST_F(RigPanelTest, SplitAndRitIndicatorsShowForTheActiveVfoOnly) {
    switchOn();
    panel->SetSplit(SPLITON);
    EXPECT_FALSE(panel->VFO_ASplit->isHidden());
    EXPECT_EQ(labelTextColor(panel->VFO_ASplit), clLime);
    EXPECT_TRUE(panel->VFO_BSplit->isHidden());

    panel->SetVFO(VFOB);
    EXPECT_TRUE(panel->VFO_ASplit->isHidden());
    EXPECT_FALSE(panel->VFO_BSplit->isHidden());
    EXPECT_EQ(labelTextColor(panel->VFO_BSplit), clLime);
    EXPECT_FALSE(panel->VFO_BRit->isHidden());
    EXPECT_EQ(labelTextColor(panel->VFO_BRit), clGreen);

    panel->SetRIT(RITON);
    EXPECT_EQ(labelTextColor(panel->VFO_BRit), clLime);
    panel->SetSplit(0);
    EXPECT_EQ(panel->Split(), 0);
    EXPECT_EQ(labelTextColor(panel->VFO_BSplit), clLime) << "an unknown value changes no label";
}

TEST_F(RigPanelTest, WritingOnTwiceResetsTheDisplayButShowsTheOldSplitColour) {
    switchOn();
    panel->SetSplit(SPLITON);
    panel->SetVFO(VFOB);
    panel->SetFreq(7'000'000);
    panel->SetON(true);
    EXPECT_EQ(freqA(), "-----|");
    EXPECT_EQ(freqB(), "-----|");
    EXPECT_EQ(panel->VFO(), VFOA);
    EXPECT_EQ(panel->Split(), SPLITOFF);
    EXPECT_EQ(labelTextColor(panel->VFO_ASplit), clLime);
    EXPECT_FALSE(panel->VFO_ASplit->isHidden());
}

TEST_F(RigPanelTest, OffPanelIgnoresStateWritesButShowsNameAndStatus) {
    switchOn();
    panel->SetVFO(VFOB);
    panel->SetTX(TX);
    panel->SetON(false);
    panel->SetVFO(VFOA);
    panel->SetFreq(14'000'000);
    panel->SetMode(CW);
    panel->SetTX(RX);
    panel->SetSplit(SPLITON);
    EXPECT_EQ(panel->VFO(), VFOB);
    EXPECT_EQ(panel->TX(), TX);
    EXPECT_EQ(panel->Split(), SPLITOFF);
    EXPECT_EQ(panel->VFO_AMode->text(), "USB");

    panel->SetName("IC-7300");
    panel->SetStatus("Port is not available");
    EXPECT_EQ(panel->Name(), "IC-7300");
    panel->SetID(2);
    EXPECT_EQ(panel->RigID->text(), "R2");
    panel->SetON(true);
    EXPECT_EQ(panel->Name(), "IC-7300");
    EXPECT_EQ(panel->RigStatus->text(), "Port is not available");
    EXPECT_EQ(panel->RigLED->Color1(), clMaroon) << "the lamp stays red until TX is written";
    panel->SetON(false);
    EXPECT_EQ(panel->Name(), "");
    EXPECT_EQ(panel->RigStatus->text(), "");
}

TEST_F(RigPanelTest, TransmitLampAndRigNumber) {
    switchOn();
    panel->SetTX(TX);
    EXPECT_EQ(panel->RigLED->Color1(), clMaroon);
    EXPECT_EQ(panel->RigLED->Color2(), clRed);
    panel->SetTX(RX);
    EXPECT_EQ(panel->RigLED->Color1(), clGreen);
    EXPECT_EQ(panel->RigLED->Color2(), clLime);

    panel->SetID(1);
    panel->SetID(0);
    panel->SetID(3);
    EXPECT_EQ(panel->ID(), 1);
    EXPECT_EQ(panel->RigID->text(), "R1");
}

TEST_F(RigPanelTest, AVfoThatIsNeitherAOrBColoursBAndFreezesTheLabels) {
    switchOn();
    panel->SetVFO(0);
    EXPECT_EQ(panel->VFO(), 0);
    EXPECT_EQ(labelTextColor(panel->FreqB), clLime);
    EXPECT_EQ(labelTextColor(panel->FreqA), clGreen);
    panel->SetFreq(14'000'000);
    panel->SetMode(CW);
    EXPECT_EQ(freqA(), "-----|");
    EXPECT_EQ(freqB(), "-----|");
    EXPECT_EQ(panel->VFO_BMode->text(), "USB");
}
