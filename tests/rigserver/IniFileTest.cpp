#include "IniFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>

#include "ScratchDirectory.h"

namespace fs = std::filesystem;

// Each fsync of the test program: a close-on-exec file, or a folder and the watched file's inode.
static std::mutex syncMutex;
static std::vector<std::string> syncs;
static fs::path watched;

extern "C" int fsync(int fd) {
    struct stat synced {};
    struct stat named {};
    ::fstat(fd, &synced);
    std::lock_guard lock(syncMutex);
    ::stat(watched.c_str(), &named);
    syncs.push_back(S_ISDIR(synced.st_mode)               ? "folder@" + std::to_string(named.st_ino)
                    : (::fcntl(fd, F_GETFD) & FD_CLOEXEC) ? "file"
                                                          : "inheritable file");
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string content() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto& e : fs::directory_iterator(dir_)) {
            found.insert(e.path().filename().string());
        }
        return found;
    }

    OmniRig::Testing::ScratchDirectory scratch_{"ini"};
    const fs::path& dir_ = scratch_.path();
    const fs::path path_ = scratch_ / "ZUVOZERARO.INI";
};

const std::string kStation =
    "; station profile\r\n"
    "[Rig1]\r\n"
    "Model = 1\r\n"
    "\r\n"
    "[divizure]\r\n"
    "offset = 700 \r\n"
    "; operator's note\r\n"
    "Track=TRUE\r\n"
    "\r\n"
    "[Other]\r\n"
    "OFFSET=1\r\n";

}  // namespace

TEST_F(IniFileTest, LooksUpSectionsAndKeysWithoutCaseAndTrimsValues) {
    put(kStation);
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadString("DIVIZURE", "OFFSET", "500"), "700");
    EXPECT_EQ(ini.ReadString("DIVIZURE", "TRACK", "NOT"), "TRUE");
    EXPECT_EQ(ini.ReadString("DIVIZURE", "SHIFT", "NOT"), "NOT");
    EXPECT_EQ(ini.ReadString("Missing", "OFFSET", "500"), "500");
    EXPECT_EQ(ini.ReadString("other", "offset", "500"), "1");
    EXPECT_TRUE(ini.SectionExists("RIG1"));
    EXPECT_EQ(ini.ReadSectionKeys("divizure"), (std::vector<std::string>{"offset", "Track"}));
    EXPECT_EQ(IniFile(dir_ / "none.ini").ReadString("DIVIZURE", "OFFSET", "500"), "500");
}

TEST_F(IniFileTest, UnreadablePathRaisesReadErrorWithTheSystemsReason) {
    const fs::path folder = dir_ / "ZUVOZERARO.INI";
    fs::create_directory(folder);
    const IniFile ini(folder);
    try {
        ini.ReadString("DIVIZURE", "OFFSET", "500");
        FAIL() << "the read of a directory did not fail";
    } catch (const IniReadError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to read " + folder.string() + ": Is a directory");
    }
    EXPECT_THROW(ini.SectionExists("DIVIZURE"), IniReadError);
    EXPECT_THROW(ini.ReadSectionKeys("DIVIZURE"), IniReadError);
    try {
        IniFile(folder).WriteString("DIVIZURE", "OFFSET", "1");
        FAIL() << "the write into a directory was not refused";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + folder.string());
    }
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(names(), std::set<std::string>{"ZUVOZERARO.INI"});

    // A path through a plain file names no file at all, like a missing one.
    std::ofstream(dir_ / "plain") << "[DIVIZURE]\n";
    EXPECT_EQ(IniFile(dir_ / "plain" / "x.ini").ReadString("DIVIZURE", "OFFSET", "500"), "500");
}

TEST_F(IniFileTest, WriteChangesOnlyTheKeysLineAndKeepsEveryOtherByte) {
    put(kStation);
    IniFile ini(path_);
    ini.WriteString("DIVIZURE", "OFFSET", "650");
    std::string expected = kStation;
    expected.replace(expected.find("offset = 700 "), 13, "OFFSET=650");
    EXPECT_EQ(content(), expected);

    ini.WriteString("DIVIZURE", "SLAVEVFO", "B");
    expected.insert(expected.find("\r\n\r\n[Other]") + 2, "SLAVEVFO=B\r\n");
    EXPECT_EQ(content(), expected);

    ini.WriteString("Rig2", "Model", "1");
    EXPECT_EQ(content(), expected + "[Rig2]\r\nModel=1\r\n");
}

TEST_F(IniFileTest, CreatesTheFileAndAppendsToOneWithoutFinalLineBreak) {
    IniFile ini(path_);
    ini.WriteString("DIVIZURE", "OFFSET", "500");
    ini.WriteString("DIVIZURE", "TRACK", "FALSE");
    EXPECT_EQ(content(), "[DIVIZURE]\nOFFSET=500\nTRACK=FALSE\n");

    put("[A]\nx=1");
    ini.WriteString("A", "y", "2");
    ini.WriteString("B", "z", "3");
    EXPECT_EQ(content(), "[A]\nx=1\ny=2\n[B]\nz=3\n");
}

TEST_F(IniFileTest, RefusedWriteNamesThePathAndLeavesTheFileAsItWas) {
    put(kStation);
    fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read);
    IniFile ini(path_);
    try {
        ini.WriteString("DIVIZURE", "OFFSET", "1");
        FAIL() << "the write was not refused";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path_.string());
    }
    EXPECT_EQ(content(), kStation);
    EXPECT_THROW(ini.WriteStrings("Rig2", {{"MODEL", "1"}, {"PORT", "x"}}), IniWriteError);
    EXPECT_EQ(content(), kStation);

    IniFile nowhere(dir_ / "missing" / "ZUVOZERARO.INI");
    EXPECT_THROW(nowhere.WriteString("DIVIZURE", "OFFSET", "1"), IniWriteError);
}

TEST_F(IniFileTest, ReplacesTheFileWholeAndClearsAwayOnlyItsOwnLeftoverTemporaries) {
    put(kStation);
    // What saves killed before their rename left, and look-alikes that are not ours.
    const std::set<std::string> leftovers = {".ZUVOZERARO.INI.a1B2c3", ".ZUVOZERARO.INI.Zz09aQ"};
    const std::set<std::string> others = {".ZUVOZERARO.INI.a1B2c",  ".ZUVOZERARO.INI.a1B2c3d",
                                          ".ZUVOZERARO.INI.a1-2c3", ".OTHER.INI.a1B2c3",
                                          "ZUVOZERARO.INI.a1B2c3",  "ZUVOZERARO.INI.bak"};
    for (const auto& name : leftovers) {
        std::ofstream(dir_ / name) << "[DIVIZURE]\n";
    }
    for (const auto& name : others) {
        std::ofstream(dir_ / name) << "[DIVIZURE]\n";
    }
    fs::create_directory(dir_ / ".ZUVOZERARO.INI.d1r2c3");
    fs::create_symlink("ZUVOZERARO.INI.bak", dir_ / ".ZUVOZERARO.INI.l1n2k3");

    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write);
    struct stat before {};
    ::stat(path_.c_str(), &before);
    IniFile(path_).WriteString("DIVIZURE", "TRACK", "FALSE");
    struct stat after {};
    ::stat(path_.c_str(), &after);
    // A new file took the old one's place, with the old one's permissions.
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(after.st_mode & 0777, 0600u);
    std::set<std::string> kept = others;
    kept.insert({"ZUVOZERARO.INI", ".ZUVOZERARO.INI.d1r2c3", ".ZUVOZERARO.INI.l1n2k3"});
    EXPECT_EQ(names(), kept);
}

TEST_F(IniFileTest, WritersOnTwoThreadsLoseNoneOfEachOthersChanges) {
    constexpr int kWrites = 25;
    auto writer = [this](const std::string& section) {
        IniFile ini(path_);
        for (int i = 0; i < kWrites; ++i) {
            ini.WriteString(section, "K" + std::to_string(i), std::to_string(i));
        }
    };
    std::thread window(writer, "DIVIZURE");
    std::thread rigSettings(writer, "RIG1");
    window.join();
    rigSettings.join();
    const IniFile ini(path_);
    EXPECT_EQ(ini.ReadSectionKeys("DIVIZURE").size(), size_t{kWrites});
    EXPECT_EQ(ini.ReadSectionKeys("RIG1").size(), size_t{kWrites});
    EXPECT_EQ(names(), std::set<std::string>{"ZUVOZERARO.INI"});
}

TEST_F(IniFileTest, WritingThroughALinkKeepsTheLink) {
    const fs::path real = dir_ / "station.ini";
    std::ofstream(real) << "[DIVIZURE]\nOFFSET=1\n";
    fs::create_symlink(real, path_);
    IniFile(path_).WriteString("DIVIZURE", "OFFSET", "2");
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_EQ(IniFile(real).ReadString("DIVIZURE", "OFFSET", ""), "2");
}

TEST_F(IniFileTest, ASaveKeepsOwnerGroupAndModeFollowsTheUmaskAndSyncsTheFolderAfterTheRename) {
    // The existing file's owner, group and mode, or a new file's umask; run as root, as under sudo.
    using Case = std::tuple<bool, uid_t, gid_t, mode_t, mode_t>;
    for (const auto& [exists, owner, group, mode, expected] : {Case{true, 65534, 65534, 0640, 0640},
                                                               {true, 65534, 0, 02660, 02660},
                                                               {false, 0, 0, 027, 0640}}) {
        SCOPED_TRACE(mode);
        fs::remove(path_);
        const mode_t umaskBefore = ::umask(exists ? 022 : mode);
        if (exists) {
            put(kStation);
            ASSERT_EQ(::chown(path_.c_str(), owner, group) | ::chmod(path_.c_str(), mode), 0);
        }
        syncs.clear();
        watched = path_;
        IniFile(path_).WriteString("DIVIZURE", "TRACK", "FALSE");
        ::umask(umaskBefore);
        struct stat after {};
        ASSERT_EQ(::stat(path_.c_str(), &after), 0);
        EXPECT_EQ(std::tuple(after.st_uid, after.st_gid, after.st_mode & 07777),
                  std::tuple(owner, group, expected));
        EXPECT_EQ(syncs,
                  (std::vector<std::string>{"file", "folder@" + std::to_string(after.st_ino)}));
    }
}
