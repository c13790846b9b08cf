#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace Bench {

namespace {

// Looked up before fork: the child of a threaded process may only make async-signal-safe calls.
std::string resolve(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return program;
    }
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        const auto candidate = std::filesystem::path(dirs.substr(start, end - start)) / program;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
        start = end + 1;
    }
    throw std::runtime_error(program + " is not installed");
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment,
                           const std::filesystem::path& workingDirectory) {
    const std::string path = resolve(program);
    std::vector<std::string> args{path};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    // The given entries replace this process's entries of the same name.
    auto named = [&](const std::string& entry) {
        const std::string name = entry.substr(0, entry.find('=') + 1);
        return std::any_of(environment.begin(), environment.end(), [&](const std::string& e) {
            return e.compare(0, name.size(), name) == 0;
        });
    };
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (!named(*e)) {
            env.emplace_back(*e);
        }
    }
    env.insert(env.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (auto& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    const std::string directory = workingDirectory.string();

    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        throw std::runtime_error("no socket pair for a child's output");
    }
    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ < 0) {
        ::close(sockets[0]);
        ::close(sockets[1]);
        throw std::runtime_error("cannot fork");
    }
    if (pid_ == 0) {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) {
            ::_exit(126);
        }
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(sockets[1], STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        if (!directory.empty() && ::chdir(directory.c_str()) != 0) {
            ::_exit(125);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    // Also here, so that a kill right after the start finds the group.
    ::setpgid(pid_, pid_);
    ::close(sockets[1]);
    output_ = OmniRig::Testing::LoopbackSocket(sockets[0]);
}

ChildProcess::~ChildProcess() {
    kill();
}

bool ChildProcess::readLine(std::string& line, std::chrono::milliseconds timeout) {
    return output_.readLine(line, timeout);
}

int ChildProcess::kill() {
    int status = 0;
    if (pid_ > 0) {
        ::kill(-pid_, SIGKILL);
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }
    output_.close();
    return status;
}

}  // namespace Bench
