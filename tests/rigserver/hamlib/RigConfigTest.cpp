#include "RigConfig.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "IniFile.h"
#include "ScratchDirectory.h"

using namespace OmniRig;
namespace fs = std::filesystem;

namespace {

class RigConfigTest : public ::testing::Test {
protected:
    RigConfig read(const std::string& text, int rig = 1) {
        std::ofstream(path_, std::ios::binary) << text;
        return RigConfig::read(IniFile(path_), rig);
    }

    OmniRig::Testing::ScratchDirectory scratch_{"rigconfig"};
    const fs::path path_ = scratch_ / "ZUVOZERARO.INI";
};

}  // namespace

TEST_F(RigConfigTest, NoFileOrNoSectionMeansTheDummyRigWithTheDefaultPoll) {
    const RigConfig none = RigConfig::read(IniFile(path_), 1);
    EXPECT_TRUE(none.configured());
    EXPECT_EQ(none.model, 1);
    EXPECT_EQ(none.pollMs, RigConfig::kDefaultPollMs);
    EXPECT_EQ(none.typeText(), "Dummy");

    const RigConfig other = read("[DIVIZURE]\nOFFSET=500\n[RIG2]\nMODEL=0\n", 1);
    EXPECT_EQ(other, none);
}

TEST_F(RigConfigTest, ReadsEveryKeyWithoutRegardToCase) {
    const RigConfig c = read(
        "[rig2]\nmodel = 2\nPort=127.0.0.1:4532\nSPEED=9600\npoll=50\nlo=172000000\n"
        "Lo_Inverted=true\n",
        2);
    EXPECT_TRUE(c.configured()) << c.problem;
    EXPECT_EQ(c.model, 2);
    EXPECT_EQ(c.port, "127.0.0.1:4532");
    EXPECT_EQ(c.speed, 9600);
    EXPECT_EQ(c.pollMs, 50);
    EXPECT_EQ(c.transverter, (Transverter{172'000'000, true}));
    EXPECT_EQ(c.typeText(), "NET rigctl");
}

TEST_F(RigConfigTest, ModelZeroIsNoRig) {
    const RigConfig c = read("[RIG1]\nMODEL=0\n");
    EXPECT_FALSE(c.configured());
    EXPECT_TRUE(c.problem.empty());
    EXPECT_EQ(c.typeText(), "NONE");
}

TEST_F(RigConfigTest, AnUnusableSectionNamesItsReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"[RIG1]\nMODEL=99999\n", "unknown model 99999"},
        {"[RIG1]\nMODEL=IC-7300\n", "MODEL is not a number: IC-7300"},
        {"[RIG1]\nMODEL=1\nPOLL=20\n", "POLL is out of range (50..500): 20"},
        {"[RIG1]\nMODEL=1\nPOLL=501\n", "POLL is out of range (50..500): 501"},
        {"[RIG1]\nMODEL=1\nPOLL=100ms\n", "POLL is not a number: 100ms"},
        {"[RIG1]\nMODEL=1\nSPEED=fast\n", "SPEED is not a number: fast"},
        {"[RIG1]\nMODEL=1\nSPEED=-9600\n", "SPEED is out of range (1..10000000): -9600"},
        {"[RIG1]\nPORT=/dev/ttyUSB0\n", "MODEL is missing"},
        {"[RIG1]\nMODEL=1\nSHARE=localhost:4532\n",
         "SHARE is not a port or address:port: localhost:4532"},
        {"[RIG1]\nMODEL=2\nPORT=127.0.0.1:4532\nSHARE=4533\n",
         "SHARE is for a radio the rig server opens itself, not one over the network"},
        {"[RIG1]\nMODEL=1\nLO=116 MHz\n", "LO is not a number: 116 MHz"},
        {"[RIG1]\nMODEL=1\nLO_INVERTED=maybe\n", "LO_INVERTED is not TRUE or FALSE: maybe"},
        // The Dummy tunes 150 kHz to 1.5 GHz: one of them must come out at 1 Hz to 2^31-1 Hz.
        {"[RIG1]\nMODEL=1\nLO=2147483647\n",
         "LO is out of range (-1499999999..2147333647): 2147483647"},
        {"[RIG1]\nMODEL=1\nLO=-1500000000\n",
         "LO is out of range (-1499999999..2147333647): -1500000000"},
        {"[RIG1]\nMODEL=1\nLO_INVERTED=TRUE\n",
         "LO is out of range (150001..3647483647 with LO_INVERTED): 0"},
    };
    for (const auto& [text, reason] : cases) {
        const RigConfig c = read(text);
        EXPECT_FALSE(c.configured()) << text;
        EXPECT_EQ(c.problem, reason) << text;
        EXPECT_EQ(c.typeText(), "NONE") << text;
    }
}
