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
#include <map>
#include <tuple>

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

TEST_F(Instance, ALockFolderNotTheOperatorsOwnIsPassedOverAndWithNoUsableOneStartUpGoesOn) {
    // The temporary folder: missing (mode 0), or of this owner and mode; taken or passed over.
    const uid_t me = ::geteuid();
    const std::tuple<uid_t, mode_t, bool> cases[] = {
        {me, 0, true}, {65534, 0700, false}, {me, 0770, false}};
    std::map<std::string, const char*> saved;
    for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR", "XDG_CACHE_HOME"}) {
        saved[name] = std::getenv(name) != nullptr ? ::strdup(std::getenv(name)) : nullptr;
    }
    ::unsetenv("XDG_RUNTIME_DIR");
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const auto& [owner, mode, taken] = cases[i];
        const auto root = dir / std::to_string(i);
        const auto temp = root / "tmp" / ("zuvozeraro-" + std::to_string(me));
        std::filesystem::create_directories(root / "tmp");
        if (mode != 0) {
            ASSERT_EQ(::mkdir(temp.c_str(), 0) | ::chown(temp.c_str(), owner, 0) |
                          ::chmod(temp.c_str(), mode),
                      0);
        }
        ::setenv("TMPDIR", (root / "tmp").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
        const auto chosen = InstanceLock::DefaultDirectory();
        EXPECT_EQ(chosen, taken ? temp : root / "cache" / "zuvozeraro");
        EXPECT_EQ(InstanceLock("ZUVOZERARO", chosen).outcome(), InstanceLock::Outcome::Acquired);
    }
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
