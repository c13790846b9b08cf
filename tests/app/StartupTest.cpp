// Start-up: restoring the operator's settings, the settings path, the rig lists, and the ways
// start-up can fail.

#include <sys/stat.h>

#include "FormFixture.h"
#include "ParamBits.h"

namespace fs = std::filesystem;
using namespace OmniRig;

namespace {

class Startup : public FormFixture {};

}  // namespace

TEST_F(Startup, RestoresTheSavedStateExactlyAlthoughItsHandlersSaveInBetween) {
    writeSettings("700", "TRUE", "TRUE", "1", "0", "A");
    TForm1& f = start();

    EXPECT_EQ(f.OffsetTrack->Position(), 700);
    EXPECT_TRUE(f.OffsetButton->LEDOn());
    EXPECT_EQ(f.OffsetHz->text(), "+200 Hz");
    EXPECT_FALSE(f.OffsetHz->isHidden());
    EXPECT_TRUE(f.TrackButton->LEDOn());
    EXPECT_FALSE(f.Master->isHidden());
    EXPECT_FALSE(f.Slave->isHidden());
    EXPECT_EQ(f.MasterList->currentIndex(), 1);
    EXPECT_EQ(f.SlaveList->currentIndex(), 0);
    EXPECT_TRUE(f.SlaveVFOA->isChecked());
    EXPECT_FALSE(f.SlaveVFOB->isChecked());
    EXPECT_TRUE(prompter->messages.empty());

    // The file holds the same state at once, and again after the window closed.
    auto expectFile = [&] {
        EXPECT_EQ(saved("OFFSET"), "700");
        EXPECT_EQ(saved("SHIFT"), "TRUE");
        EXPECT_EQ(saved("TRACK"), "TRUE");
        EXPECT_EQ(saved("MASTER"), "1");
        EXPECT_EQ(saved("SLAVE"), "0");
        EXPECT_EQ(saved("SLAVEVFO"), "A");
    };
    expectFile();
    closeForm();
    expectFile();
}

TEST_F(Startup, FirstRunWithoutFileTakesTheDefaultsAndCreatesTheFileOnClose) {
    TForm1& f = start();
    EXPECT_EQ(f.OffsetTrack->Position(), 500);
    EXPECT_FALSE(f.OffsetButton->LEDOn());
    EXPECT_FALSE(f.TrackButton->LEDOn());
    EXPECT_TRUE(f.Master->isHidden());
    EXPECT_TRUE(f.OffsetTrack->isHidden());
    EXPECT_EQ(f.MasterList->currentIndex(), 0);
    EXPECT_EQ(f.MasterList->count(), 2);
    EXPECT_TRUE(f.SlaveVFOA->isChecked());
    EXPECT_EQ(f.SettingsPath, ini());
    closeForm();
    EXPECT_EQ(readIni(),
              "[DIVIZURE]\nOFFSET=500\nTRACK=FALSE\nSHIFT=FALSE\nMASTER=0\nSLAVE=0\nSLAVEVFO=A\n");
}

TEST_F(Startup, UnusableValuesFallBackAsTheOperatorWouldExpect) {
    struct Case {
        std::string offset;
        int position;
    };
    for (const Case& c : {Case{"1500", 1000}, Case{"-20", 0}, Case{"abc", 500}, Case{"", 500},
                          Case{"5.5", 500}, Case{"99999999999", 500}, Case{"+7", 500}}) {
        writeSettings(c.offset, "yes", "On", "2", "x", "a");
        TForm1& f = start();
        EXPECT_EQ(f.OffsetTrack->Position(), c.position) << "OFFSET " << c.offset;
        EXPECT_TRUE(f.OffsetButton->LEDOn());
        EXPECT_TRUE(f.TrackButton->LEDOn());
        EXPECT_EQ(f.MasterList->currentIndex(), -1);
        EXPECT_EQ(f.MasterList->currentText(), "FT-840") << "no choice shows the design text";
        EXPECT_EQ(f.SlaveList->currentIndex(), -1);
        EXPECT_TRUE(f.SlaveVFOA->isChecked());
    }
    for (const char* vfo : {"b", "", "C"}) {
        writeSettings("500", "1", "NO", "-1", "1", vfo);
        TForm1& f = start();
        EXPECT_FALSE(f.OffsetButton->LEDOn()) << "SHIFT 1 does not switch the offset on";
        EXPECT_FALSE(f.TrackButton->LEDOn());
        EXPECT_EQ(f.MasterList->currentIndex(), -1);
        EXPECT_EQ(f.SlaveList->currentIndex(), 1);
        EXPECT_TRUE(f.SlaveVFOB->isChecked()) << "SLAVEVFO '" << vfo << "'";
        EXPECT_FALSE(f.SlaveVFOA->isChecked());
    }
}

TEST_F(Startup, UnconfiguredRigsAreLeftOutOfTheLists) {
    server->rig(1).state.typeText = "NoNe";
    server->rig(2).state.typeText = "IC-7300";
    writeSettings("500", "NOT", "NOT", "1", "0", "A");
    TForm1& f = start();
    ASSERT_EQ(f.MasterList->count(), 1);
    EXPECT_EQ(f.MasterList->itemText(0), "IC-7300");
    EXPECT_EQ(f.SlaveList->itemText(0), "IC-7300");
    EXPECT_EQ(f.MasterList->currentIndex(), -1) << "MASTER 1 with one rig in the list";
    EXPECT_EQ(f.SlaveList->currentIndex(), 0);
    EXPECT_EQ(f.RigPanel2->Name(), "IC-7300");
}

TEST_F(Startup, ASaveKeepsEveryOtherByteOfTheFile) {
    const std::string before =
        "; my station\r\n[RIG1]\r\nMODEL=1\r\n\r\n[DIVIZURE]\r\nOFFSET=500\r\n"
        "; keep this\r\nTRACK=FALSE\r\nSHIFT=FALSE\r\nMASTER=0\r\nSLAVE=0\r\nSLAVEVFO=A\r\n"
        "\r\n[LOG]\r\nPATH=C:\\log.adi\r\n";
    writeIni(before);
    TForm1& f = start();
    f.OffsetTrack->SetPosition(612);
    std::string expected = before;
    expected.replace(expected.find("OFFSET=500"), 10, "OFFSET=612");
    EXPECT_EQ(readIni(), expected);
}

TEST_F(Startup, AnUnwritableFileIsReportedAndLeftAsItWas) {
    writeSettings("700", "NOT", "NOT", "0", "0", "A");
    const std::string before = readIni();
    fs::permissions(ini(), fs::perms::owner_read);
    TForm1& f = start();
    settle();
    ASSERT_EQ(prompter->messages.size(), 1u) << "start-up reports it once and goes on";
    EXPECT_EQ(prompter->messages[0].text,
              "Unable to write to " + QString::fromStdString(ini()) + ".");
    EXPECT_EQ(prompter->messages[0].caption, "ZuvozeRaro");
    EXPECT_EQ(prompter->messages[0].icon, MessageIcon::Stop);
    EXPECT_EQ(f.MasterList->count(), 2) << "the rig server was still connected";

    f.TrackButton->click();
    EXPECT_TRUE(f.TrackButton->LEDOn());
    settle();
    ASSERT_EQ(prompter->messages.size(), 2u) << "every later save reports it";
    EXPECT_EQ(readIni(), before);
    closeForm();
    EXPECT_EQ(prompter->messages.size(), 3u) << "the save on closing is reported before the end";
}

TEST_F(Startup, ASettingsPathThatCannotBeReadGivesTheDefaultsAndSaysWhy) {
    fs::create_directories(dir / "station");
    arguments = {"-F", "station"};
    TForm1& f = start();
    settle();
    EXPECT_EQ(f.OffsetTrack->Position(), 500);
    EXPECT_FALSE(f.TrackButton->LEDOn());
    ASSERT_GE(prompter->messages.size(), 1u);
    const QString path = QString::fromStdString((dir / "station").string());
    EXPECT_EQ(prompter->messages[0].text, "Unable to read " + path + ": Is a directory.");
    EXPECT_EQ(prompter->messages.back().text, "Unable to write to " + path + ".");
    EXPECT_TRUE(fs::is_directory(dir / "station"));
}

TEST_F(Startup, AnEditorsByteOrderMarkAndQuotedValuesKeepTheOperatorsSettings) {
    writeIni(
        "\xEF\xBB\xBF[DIVIZURE]\r\nOFFSET='700'\r\nSHIFT=\"TRUE\"\r\nTRACK=\"TRUE\"\r\n"
        "MASTER=\"1\"\r\nSLAVE=0\r\nSLAVEVFO=\"B\"\r\n");
    TForm1& f = start();
    EXPECT_EQ(f.OffsetTrack->Position(), 700);
    EXPECT_TRUE(f.OffsetButton->LEDOn());
    EXPECT_TRUE(f.TrackButton->LEDOn());
    EXPECT_EQ(f.MasterList->currentIndex(), 1);
    EXPECT_TRUE(f.SlaveVFOB->isChecked());
    closeForm();
    EXPECT_EQ(readIni(),
              "\xEF\xBB\xBF[DIVIZURE]\r\nOFFSET=700\r\nSHIFT=TRUE\r\nTRACK=TRUE\r\n"
              "MASTER=1\r\nSLAVE=0\r\nSLAVEVFO=B\r\n");
}

TEST_F(Startup, SettingsPathComesFromTheCommandLineAsTyped) {
    arguments = {"-f", "Station/My.ini"};
    fs::create_directories(dir / "Station");
    start();
    EXPECT_EQ(form().SettingsPath, dir / "Station" / "My.ini");
    form().SaveSettings();
    settle();
    EXPECT_TRUE(fs::exists(dir / "Station" / "My.ini"));

    arguments = {"-F"};
    start();
    EXPECT_EQ(form().SettingsPath, ini());

    arguments = {"-X", "other.ini"};
    start();
    EXPECT_EQ(form().SettingsPath, ini());

    arguments = {"-F", (dir / "abs.ini").string().c_str()};
    start();
    EXPECT_EQ(form().SettingsPath, dir / "abs.ini");
}

TEST_F(Startup, AFailingRigServerCallIsShownAndTheWindowStillOpens) {
    writeSettings("500", "NOT", "NOT", "1", "1", "A");
    server->failCall("rig2.TypeText", E_FAILURE, "Rig 2 is gone!");
    TForm1& f = start();
    ASSERT_EQ(prompter->messages.size(), 1u);
    EXPECT_EQ(prompter->messages[0].text, "Rig 2 is gone!") << "no full stop after '!'";
    EXPECT_EQ(prompter->messages[0].caption, "ZuvozeRaro");
    EXPECT_EQ(f.MasterList->count(), 0) << "the steps after the failing call are not done";
    EXPECT_EQ(server->calls.back(), "rig2.TypeText?");
    EXPECT_FALSE(f.StartupAborted()) << "the window still opens";
    // The operator's choice survives a start whose lists could not be filled.
    f.SaveSettings();
    EXPECT_EQ(saved("MASTER"), "1");
}

TEST_F(Startup, ARigServerThatCannotBeStartedIsShown) {
    server->failCall("Connect", E_CLASS_NOT_REGISTERED, "The rig server cannot be started");
    start();
    ASSERT_EQ(prompter->messages.size(), 1u);
    EXPECT_EQ(prompter->messages[0].text, "The rig server cannot be started.");
    EXPECT_FALSE(form().StartupAborted());
}

TEST_F(Startup, NoRigServerComponentEndsTheProgram) {
    withRigServer = false;
    start();
    ASSERT_EQ(prompter->messages.size(), 1u);
    EXPECT_EQ(prompter->messages[0].text, "Error while loading OmniRig");
    EXPECT_EQ(prompter->messages[0].caption, "");
    EXPECT_TRUE(form().StartupAborted());
}
