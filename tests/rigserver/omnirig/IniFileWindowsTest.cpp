// The settings file's Windows side: the read-only attribute, the replacement of the whole file,
// and wide paths.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "IniFile.h"

namespace fs = std::filesystem;

namespace {

class IniFileWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               (L"zr-ini-\u00C4-" + std::to_wstring(::GetCurrentProcessId()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = dir_ / "ZUVOZERARO.INI";
    }
    void TearDown() override {
        ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        fs::remove_all(dir_);
    }
    void put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string content() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    size_t entries() const {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) {
            ++n;
        }
        return n;
    }

    fs::path dir_;
    fs::path path_;
};

}  // namespace

TEST_F(IniFileWindowsTest, ReadOnlyAttributeRefusesTheWriteAndLeavesTheFile) {
    put("[DIVIZURE]\r\nOFFSET=500\r\n");
    ASSERT_TRUE(::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    IniFile ini(path_);
    EXPECT_THROW(ini.WriteString("DIVIZURE", "OFFSET", "1"), IniWriteError);
    EXPECT_EQ(content(), "[DIVIZURE]\r\nOFFSET=500\r\n");
    EXPECT_EQ(entries(), 1u);
    EXPECT_THROW(IniFile(dir_ / "missing" / "x.ini").WriteString("A", "b", "c"), IniWriteError);
}

TEST_F(IniFileWindowsTest, AFolderInThePlaceOfTheFileRaisesReadErrorAndRefusesWrites) {
    fs::create_directory(path_);
    const IniFile ini(path_);
    try {
        ini.ReadString("DIVIZURE", "OFFSET", "500");
        FAIL() << "the read of a folder did not fail";
    } catch (const IniReadError& e) {
        const std::string prefix = "Unable to read " + path_.string() + ": ";
        const std::string message = e.what();
        EXPECT_EQ(message.substr(0, prefix.size()), prefix);
        EXPECT_GT(message.size(), prefix.size()) << "the system's reason is missing";
    }
    EXPECT_THROW(ini.ReadSectionKeys("DIVIZURE"), IniReadError);
    EXPECT_THROW(IniFile(path_).WriteString("DIVIZURE", "OFFSET", "1"), IniWriteError);
    EXPECT_TRUE(fs::is_directory(path_));
    EXPECT_EQ(IniFile(dir_ / "none.ini").ReadString("DIVIZURE", "OFFSET", "500"), "500");
}

TEST_F(IniFileWindowsTest, ReplacesTheWholeFileKeepsItsMarksAndClearsAwayItsLeftovers) {
    put("; profile\r\n[DIVIZURE]\r\nOFFSET=500\r\n");
    // A save killed before its move left the first; the second is another file's.
    std::ofstream(dir_ / ".ZUVOZERARO.INI.a1B2c3") << "[DIVIZURE]\r\n";
    std::ofstream(dir_ / ".OTHER.INI.a1B2c3") << "[DIVIZURE]\r\n";
    ASSERT_TRUE(::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_HIDDEN));
    IniFile ini(path_);
    ini.WriteString("DIVIZURE", "OFFSET", "650");
    ini.WriteString("DIVIZURE", "TRACK", "TRUE");
    EXPECT_EQ(content(), "; profile\r\n[DIVIZURE]\r\nOFFSET=650\r\nTRACK=TRUE\r\n");
    EXPECT_EQ(ini.ReadString("divizure", "track", ""), "TRUE");
    EXPECT_NE(::GetFileAttributesW(path_.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_FALSE(fs::exists(dir_ / ".ZUVOZERARO.INI.a1B2c3"));
    EXPECT_EQ(entries(), 2u);
}

TEST_F(IniFileWindowsTest, CreatesTheFileInTheWorkingDirectoryByARelativeName) {
    const fs::path before = fs::current_path();
    fs::current_path(dir_);
    IniFile ini("ZUVOZERARO.INI");
    ini.WriteString("DIVIZURE", "SLAVEVFO", "B");
    fs::current_path(before);
    EXPECT_EQ(content(), "[DIVIZURE]\nSLAVEVFO=B\n");
    EXPECT_EQ(entries(), 1u);
}
