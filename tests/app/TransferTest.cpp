// Moving frequencies between the rigs with the offset.

#include <QTest>

#include "FormFixture.h"
#include "ParamBits.h"

using namespace OmniRig;
using OmniRig::Testing::ScriptedRigState;

namespace {

class Transfer : public FormFixture {
protected:
    TForm1& startBothOnLine(int32_t f1, int32_t f2) {
        TForm1& f = start();
        raiseStatus(2);
        rig1().frequencyA = f1;
        rig2().frequencyA = f2;
        server->clearCalls();
        return f;
    }
    void offset(int position) {
        if (!form().OffsetButton->LEDOn()) {
            form().OffsetButton->click();
        }
        form().OffsetTrack->SetPosition(position);
        server->clearCalls();
    }
    ScriptedRigState& rig1() { return server->rig(1).state; }
    ScriptedRigState& rig2() { return server->rig(2).state; }
};

}  // namespace

TEST_F(Transfer, CopiesAndSwapsWithoutOffset) {
    TForm1& f = startBothOnLine(7'010'000, 7'025'000);
    f.R1toR2->click();
    EXPECT_EQ(server->writes(), (std::vector<std::string>{"rig2.Frequency=7010000"}));

    rig2().frequencyA = 7'025'000;
    server->clearCalls();
    f.R2toR1->click();
    EXPECT_EQ(server->writes(), (std::vector<std::string>{"rig1.Frequency=7025000"}));

    rig1().frequencyA = 7'010'000;
    server->clearCalls();
    f.RSwap->click();
    EXPECT_EQ(server->calls,
              (std::vector<std::string>{"RigObject2", "rig2.Frequency?", "RigObject1",
                                        "rig1.Frequency?", "RigObject2", "rig2.Frequency=7010000",
                                        "RigObject1", "rig1.Frequency=7025000"}));
}

TEST_F(Transfer, AppliesTheActiveOffsetWithOneSignConvention) {
    TForm1& f = startBothOnLine(14'000'000, 14'100'000);
    offset(750);
    f.R1toR2->click();
    EXPECT_EQ(rig2().frequencyA, 14'000'250);
    rig2().frequencyA = 14'100'000;
    f.R2toR1->click();
    EXPECT_EQ(rig1().frequencyA, 14'099'750);
    rig1().frequencyA = 14'000'000;
    f.RSwap->click();
    EXPECT_EQ(rig2().frequencyA, 14'000'250);
    EXPECT_EQ(rig1().frequencyA, 14'099'750);

    // The tray's items are the same commands.
    rig1().frequencyA = 14'000'000;
    rig2().frequencyA = 14'100'000;
    pick(f.TrayMenu, "2>1");
    EXPECT_EQ(rig1().frequencyA, 14'099'750);
    rig1().frequencyA = 14'000'000;
    pick(f.TrayMenu, "1<>2");
    EXPECT_EQ(rig2().frequencyA, 14'000'250);
    EXPECT_EQ(rig1().frequencyA, 14'099'750);

    offset(400);
    f.R1toR2->click();
    EXPECT_EQ(rig2().frequencyA, rig1().frequencyA - 100);

    f.OffsetButton->click();
    f.OffsetTrack->SetPosition(750);
    f.R1toR2->click();
    EXPECT_EQ(rig2().frequencyA, rig1().frequencyA) << "offset off: no offset";
}

TEST_F(Transfer, TheOffsetLabelShowsTheSignAndThreeDigits) {
    TForm1& f = start();
    f.OffsetButton->click();
    for (const auto& [position, label] : std::vector<std::pair<int, QString>>{{0, "-500 Hz"},
                                                                              {1000, "+500 Hz"},
                                                                              {495, "-005 Hz"},
                                                                              {512, "+012 Hz"},
                                                                              {500, "+000 Hz"}}) {
        f.OffsetTrack->SetPosition(position);
        EXPECT_EQ(f.OffsetHz->text(), label) << position;
    }
    EXPECT_EQ(saved("OFFSET"), "500");
}

TEST_F(Transfer, TwoSwapsGiveBothRigsBackTheirFrequencies) {
    TForm1& f = startBothOnLine(21'074'000, 21'300'000);
    offset(1000);
    f.RSwap->click();
    f.RSwap->click();
    EXPECT_EQ(rig1().frequencyA, 21'074'000);
    EXPECT_EQ(rig2().frequencyA, 21'300'000);
}

TEST_F(Transfer, ARigThatIsOffBlocksEveryTransferWithAMessage) {
    TForm1& f = start();
    server->clearCalls();
    for (QPushButton* button : {f.R1toR2, f.R2toR1, f.RSwap}) {
        button->click();
    }
    EXPECT_TRUE(server->calls.empty());
    ASSERT_EQ(prompter->messages.size(), 3u);
    EXPECT_EQ(prompter->messages[0].text, "ERROR \r\nRig1(TRUE) Rig2(FALSE)");
    EXPECT_EQ(prompter->messages[0].caption, "ZuvozeRaro");
    EXPECT_EQ(prompter->messages[0].buttons, MessageButtons::Ok);

    f.RigPanel1->SetON(false);
    f.R1toR2->click();
    EXPECT_EQ(prompter->messages.back().text, "ERROR \r\nRig1(FALSE) Rig2(FALSE)");
}

TEST_F(Transfer, AFailingWriteInASwapKeepsTheWriteBeforeIt) {
    TForm1& f = startBothOnLine(3'550'000, 3'790'000);
    server->failCall("rig1.Frequency=", E_FAILURE, "Rig 1 refused the frequency");
    f.RSwap->click();
    EXPECT_EQ(rig2().frequencyA, 3'550'000);
    EXPECT_EQ(rig1().frequencyA, 3'550'000);
    ASSERT_EQ(prompter->messages.size(), 1u);
    EXPECT_EQ(prompter->messages[0].text, "Rig 1 refused the frequency.");
}

TEST_F(Transfer, OnlyAMousePressColoursTheCaption) {
    TForm1& f = startBothOnLine(7'010'000, 7'025'000);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    auto captionColour = [&] { return f.R1toR2->palette().color(QPalette::ButtonText); };
    const QColor before = captionColour();

    f.R1toR2->setFocus();
    QTest::keyClick(f.R1toR2, Qt::Key_Space);
    f.TrayMenu->actions().at(0)->trigger();
    EXPECT_EQ(server->writes().size(), 2u);
    EXPECT_EQ(captionColour(), before);

    const QPoint centre = f.R1toR2->mapTo(&f, f.R1toR2->rect().center());
    QTest::mousePress(f.windowHandle(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(captionColour(), QColor(255, 0, 0));
    QTest::mouseRelease(f.windowHandle(), Qt::LeftButton, {}, centre);
    EXPECT_EQ(captionColour(), QColor(0, 0, 0));
    EXPECT_EQ(server->writes().size(), 3u);

    // Also while a rig is off, where the click itself is refused.
    f.RigPanel2->SetON(false);
    QTest::mousePress(f.windowHandle(), Qt::RightButton, {}, centre);
    EXPECT_EQ(captionColour(), QColor(255, 0, 0));
    QTest::mouseRelease(f.windowHandle(), Qt::RightButton, {}, centre);
    EXPECT_EQ(captionColour(), QColor(0, 0, 0));
}
