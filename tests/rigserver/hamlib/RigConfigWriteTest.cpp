#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "IniFile.h"
#include "RigConfig.h"
#include "ScratchDirectory.h"

using namespace OmniRig;
namespace fs = std::filesystem;

namespace {

class RigConfigWrite : public ::testing::Test {
protected:
    void put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string text() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    RigConfig read(int rig) const { return RigConfig::read(IniFile(path_), rig); }
    void write(const RigConfig& config, int rig) {
        IniFile settings(path_);
        config.write(settings, rig);
    }

    OmniRig::Testing::ScratchDirectory scratch_{"rigconfig-write"};
    const fs::path path_ = scratch_ / "ZUVOZERARO.INI";
};

RigConfig network(const std::string& port, int pollMs = RigConfig::kDefaultPollMs) {
    RigConfig config;
    config.model = 2;
    config.port = port;
    config.pollMs = pollMs;
    return config;
}

}  // namespace

TEST_F(RigConfigWrite, SettingsReadBackUnchangedLeaveTheFileByteForByte) {
    const std::string before =
        "; profile\r\n[RIG1]\r\n model = 0002 \r\nPort= 10.0.0.7:4532\r\nspeed=\r\n"
        "lo = 0116000000\r\nlo_inverted=yes\r\n"
        "[DIVIZURE]\r\nOFFSET=5\r\n";
    put(before);
    const RigConfig config = read(1);
    ASSERT_TRUE(config.configured()) << config.problem;
    write(config, 1);
    EXPECT_EQ(text(), before);
}

TEST_F(RigConfigWrite, OnlyTheKeysThatDifferAreRewrittenAndTheRestStays) {
    put("[RIG1]\r\nMODEL=2\r\nPORT=10.0.0.7:4532\r\n; keep "
        "me\r\nPOLL=100\r\n[RIG2]\r\nMODEL=1\r\n");
    write(network("10.0.0.8:4532", 100), 1);
    EXPECT_EQ(text(),
              "[RIG1]\r\nMODEL=2\r\nPORT=10.0.0.8:4532\r\n; keep me\r\nPOLL=100\r\n[RIG2]\r\n"
              "MODEL=1\r\n");
}

TEST_F(RigConfigWrite, ANewSectionGetsItsModelAndWhatDiffersFromTheDefaults) {
    put("[DIVIZURE]\nTRACK=TRUE\n");
    write(network("10.0.0.7:4532"), 2);
    EXPECT_EQ(text(), "[DIVIZURE]\nTRACK=TRUE\n[RIG2]\nMODEL=2\nPORT=10.0.0.7:4532\n");
    EXPECT_EQ(read(2), network("10.0.0.7:4532"));

    // A Dummy with the defaults needs no section at all.
    const std::string kept = text();
    write(RigConfig{}, 1);
    EXPECT_EQ(text(), kept);
}

TEST_F(RigConfigWrite, ATransverterAddsItsKeysAndTakingItAwayPutsThemBack) {
    put("[RIG1]\nMODEL=2\nPORT=10.0.0.7:4532\n");
    RigConfig config = network("10.0.0.7:4532");
    config.transverter = {172'000'000, true};
    write(config, 1);
    EXPECT_EQ(text(), "[RIG1]\nMODEL=2\nPORT=10.0.0.7:4532\nLO=172000000\nLO_INVERTED=TRUE\n");
    EXPECT_EQ(read(1), config);

    write(network("10.0.0.7:4532"), 1);
    EXPECT_EQ(text(), "[RIG1]\nMODEL=2\nPORT=10.0.0.7:4532\nLO=0\nLO_INVERTED=FALSE\n");
}

TEST_F(RigConfigWrite, ASectionThatCouldNotBeUsedIsPutRight) {
    put("[RIG1]\nMODEL=2\nPORT=10.0.0.7:4532\nSPEED=9600\nPOLL=9999\n");
    ASSERT_FALSE(read(1).configured());
    write(network("10.0.0.7:4532"), 1);
    EXPECT_EQ(text(), "[RIG1]\nMODEL=2\nPORT=10.0.0.7:4532\nSPEED=\nPOLL=200\n");
    EXPECT_EQ(read(1), network("10.0.0.7:4532"));
}

TEST_F(RigConfigWrite, NoRigWritesOnlyTheModelAndKeepsTheRestForLater) {
    put("[RIG1]\nMODEL=2\nPORT=10.0.0.7:4532\nPOLL=100\n");
    RigConfig none;
    none.model = 0;
    write(none, 1);
    EXPECT_EQ(text(), "[RIG1]\nMODEL=0\nPORT=10.0.0.7:4532\nPOLL=100\n");
    EXPECT_FALSE(read(1).configured());
}
