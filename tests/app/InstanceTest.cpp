// The single-instance lock: a second copy is refused while the first runs, and accepted once the
// first has died, however it died.

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>

#include "FormFixture.h"
#include "InstanceLock.h"

extern char** environ;

namespace {

class Instance : public FormFixture {
protected:
    // Starts the holder and waits, with a deadline, for its word that it holds the lock.
    pid_t startHolder() {
        int out[2];
        EXPECT_EQ(::pipe(out), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const std::string lockDir = dir.string();
        char* args[] = {const_cast<char*>(INSTANCE_HOLDER), const_cast<char*>(lockDir.c_str()),
                        nullptr};
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, INSTANCE_HOLDER, &actions, nullptr, args, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        pollfd p{out[0], POLLIN, 0};
        char word[16] = {};
        if (::poll(&p, 1, 10'000) == 1) {
            EXPECT_GT(::read(out[0], word, sizeof word - 1), 0);
        }
        ::close(out[0]);
        EXPECT_STREQ(word, "held\n");
        return pid;
    }
};

}  // namespace

TEST_F(Instance, WithNoUsableLockDirectoryTheLockIsUnavailableAndStartUpGoesOn) {
    std::map<std::string, const char*> saved;
    for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR", "XDG_CACHE_HOME"}) {
        saved[name] = std::getenv(name) != nullptr ? ::strdup(std::getenv(name)) : nullptr;
    }
    ::unsetenv("XDG_RUNTIME_DIR");
    ::setenv("TMPDIR", "/nonexistent", 1);
    ::setenv("XDG_CACHE_HOME", "/dev/null/cache", 1);
    std::filesystem::path lockDirectory{"unset"};
    EXPECT_NO_THROW(lockDirectory = InstanceLock::DefaultDirectory());
    for (const auto& [name, value] : saved) {
        if (value != nullptr) {
            ::setenv(name.c_str(), value, 1);
        } else {
            ::unsetenv(name.c_str());
        }
        std::free(const_cast<char*>(value));
    }
    EXPECT_EQ(InstanceLock("ZUVOZERARO", lockDirectory).outcome(),
              InstanceLock::Outcome::Unavailable);

    FormEnvironment env = environment();
    env.instanceLockDirectory = lockDirectory;
    TForm1 window(std::move(env));
    EXPECT_FALSE(window.StartupAborted());
    EXPECT_FALSE(server->calls.empty()) << "start-up went on to the rig server";
}

TEST_F(Instance, SecondCopyIsRefusedWhileTheFirstRunsAndAcceptedAfterItWasKilled) {
    writeSettings("650", "NOT", "NOT", "0", "0", "A");
    const std::string before = readIni();
    const pid_t first = startHolder();

    TForm1& refused = start();
    ASSERT_EQ(prompter->messages.size(), 1u);
    EXPECT_EQ(prompter->messages[0].text, "Instance of Program Already Running");
    EXPECT_EQ(prompter->messages[0].caption, "ZuvozeRaro (1.0) Initialization Failure");
    EXPECT_EQ(prompter->messages[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(refused.StartupAborted());
    EXPECT_TRUE(server->calls.empty()) << "the refused copy never reaches the rig server";
    EXPECT_EQ(readIni(), before) << "nor the running copy's settings";

    ASSERT_EQ(::kill(first, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(first, &status, 0), first);
    prompter->messages.clear();
    TForm1& accepted = start();
    EXPECT_FALSE(accepted.StartupAborted());
    EXPECT_TRUE(prompter->messages.empty());
    EXPECT_FALSE(server->calls.empty());
}

TEST_F(Instance, ALockFolderAnotherUserMadeOrMayWriteIsPassedOverForOneOfTheOperatorsOwn) {
    struct Case {
        const char* what;
        std::function<void(const std::filesystem::path&)> make;
        bool taken;  // the temporary folder, or else the cache's
    };
    const auto folder = [](uid_t owner, mode_t mode) {
        return [=](const std::filesystem::path& p) {
            std::filesystem::create_directory(p);
            ASSERT_EQ(::chown(p.c_str(), owner, 0), 0);
            ASSERT_EQ(::chmod(p.c_str(), mode), 0);
        };
    };
    const Case cases[] = {
        {"missing", [](const std::filesystem::path&) {}, true},
        {"the operator's", folder(::geteuid(), 0700), true},
        {"another user's", folder(65534, 0700), false},
        {"writable by all", folder(::geteuid(), 01777), false},
        {"writable by its group", folder(::geteuid(), 0770), false},
        {"a link to the operator's",
         [&](const std::filesystem::path& p) {
             ::mkdir((dir / "mine").c_str(), 0700);
             std::filesystem::create_directory_symlink(dir / "mine", p);
         },
         false},
        {"a file", [](const std::filesystem::path& p) { std::ofstream(p) << "x"; }, false},
    };
    std::map<std::string, std::string> saved;
    for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR", "XDG_CACHE_HOME"}) {
        saved[name] = std::getenv(name) != nullptr ? std::getenv(name) : "";
    }
    ::unsetenv("XDG_RUNTIME_DIR");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::filesystem::path root = dir / c.what;
        std::filesystem::create_directories(root / "tmp");
        ::setenv("TMPDIR", (root / "tmp").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
        const auto temp = root / "tmp" / ("zuvozeraro-" + std::to_string(::geteuid()));
        c.make(temp);
        const auto chosen = InstanceLock::DefaultDirectory();
        EXPECT_EQ(chosen, c.taken ? temp : root / "cache" / "zuvozeraro");
        struct stat s {};
        ASSERT_EQ(::lstat(chosen.c_str(), &s), 0);
        EXPECT_TRUE(S_ISDIR(s.st_mode));
        EXPECT_EQ(s.st_uid, ::geteuid());
        EXPECT_EQ(s.st_mode & 077, 0u);
        EXPECT_EQ(InstanceLock("ZUVOZERARO", chosen).outcome(), InstanceLock::Outcome::Acquired);
    }
    for (const auto& [name, value] : saved) {
        value.empty() ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1);
    }
}
