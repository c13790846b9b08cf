#include "RigctldPeer.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace OmniRig::Testing {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kReplyTimeout{5000};

// Looked up before fork: the child of a threaded process may only make async-signal-safe calls.
std::string rigctldPath() {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::filesystem::path candidate =
            std::filesystem::path(dirs.substr(start, end - start)) / "rigctld";
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
        start = end + 1;
    }
    throw std::runtime_error("rigctld is not installed (package libhamlib-utils)");
}

}  // namespace

std::string RigctlReply::value(const std::string& key) const {
    const std::string prefix = key + ": ";
    for (const auto& line : lines) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            return line.substr(prefix.size());
        }
    }
    return {};
}

RigctldPeer::RigctldPeer(std::chrono::milliseconds deadline) {
    // Under parallel tests another process may take the port between the probe and the start.
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = freeLoopbackPort();
        if (launch(deadline)) {
            return;
        }
    }
    throw std::runtime_error("rigctld could not be started (is libhamlib-utils installed?)");
}

RigctldPeer::~RigctldPeer() {
    kill();
}

std::string RigctldPeer::address() const {
    return "127.0.0.1:" + std::to_string(port_);
}

bool RigctldPeer::launch(std::chrono::milliseconds deadline) {
    static const std::string program = rigctldPath();
    const std::string port = std::to_string(port_);
    std::string args[] = {"rigctld", "-m", "1", "-T", "127.0.0.1", "-t", port};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(),
                    args[4].data(), args[5].data(), args[6].data(), nullptr};
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        return false;
    }
    if (pid == 0) {
        // A test that crashes takes its daemon with it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) {
            ::_exit(126);
        }
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execve(program.c_str(), argv, environ);
        ::_exit(127);
    }
    pid_ = pid;
    const auto end = Clock::now() + deadline;
    while (Clock::now() < end) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        const int fd = connectLoopback(port_);
        if (fd >= 0) {
            // The daemon is up when it answers, not merely when something accepts on its port.
            client_ = LoopbackSocket(fd);
            try {
                if (command("\\get_vfo").code == 0) {
                    return true;
                }
            } catch (const std::exception&) {
            }
            client_.close();
        }
        // Polls the condition; the deadline above bounds the wait.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill();
    return false;
}

void RigctldPeer::kill() {
    client_.close();
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    pid_ = -1;
}

void RigctldPeer::restart(std::chrono::milliseconds deadline) {
    kill();
    if (!launch(deadline)) {
        throw std::runtime_error("rigctld could not be started again on port " +
                                 std::to_string(port_));
    }
}

RigctlReply RigctldPeer::command(const std::string& command) {
    if (!client_.valid()) {
        const int fd = connectLoopback(port_);
        if (fd < 0) {
            throw std::runtime_error("rigctld does not accept connections");
        }
        client_ = LoopbackSocket(fd);
    }
    if (!client_.sendAll("+" + command + "\n")) {
        client_.close();
        throw std::runtime_error("rigctld dropped the connection");
    }
    RigctlReply reply;
    std::string line;
    bool echo = true;
    while (client_.readLine(line, kReplyTimeout)) {
        if (line.compare(0, 5, "RPRT ") == 0) {
            reply.code = std::stoi(line.substr(5));
            return reply;
        }
        if (echo) {
            echo = false;  // the first line repeats the command
            continue;
        }
        reply.lines.push_back(line);
    }
    client_.close();
    throw std::runtime_error("rigctld did not answer \"" + command + "\"");
}

}  // namespace OmniRig::Testing
