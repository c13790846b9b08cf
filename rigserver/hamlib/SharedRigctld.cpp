#include "SharedRigctld.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

namespace OmniRig {

namespace {

using Clock = std::chrono::steady_clock;

// Looked up before fork: the child of a threaded process may only make async-signal-safe calls.
std::string findRigctld() {
    const char* path = std::getenv("PATH");
    const std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= dirs.size();) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        const auto candidate = std::filesystem::path(dirs.substr(start, end - start)) / "rigctld";
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
        start = end + 1;
    }
    return {};
}

class Socket {
public:
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

bool toAddress(const std::string& host, uint16_t port, sockaddr_in& address) {
    address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    return ::inet_pton(AF_INET, host.c_str(), &address.sin_addr) == 1;
}

// rigctlds asked to end and not waited for (the program was quitting, or a start was called
// off): reaped when they have ended, so that none stays behind as a zombie.
void reapStrays(pid_t add = -1) {
    static std::mutex mutex;
    static std::vector<pid_t> strays;
    std::lock_guard lock(mutex);
    if (add > 0) {
        strays.push_back(add);
    }
    std::erase_if(strays, [](pid_t pid) {
        int status = 0;
        return ::waitpid(pid, &status, WNOHANG) != 0;
    });
}

// A wildcard listen address is reached at loopback.
std::string reachableHost(const std::string& listen) {
    return listen == "0.0.0.0" ? "127.0.0.1" : listen;
}

}  // namespace

SharedRigctld::SharedRigctld(Radio radio, std::string address, uint16_t port)
    : radio_(std::move(radio)), address_(std::move(address)), port_(port) {}

SharedRigctld::~SharedRigctld() {
    Stop();
}

std::string SharedRigctld::Endpoint() const {
    return reachableHost(address_) + ":" + std::to_string(port_);
}

std::string SharedRigctld::SharedAt() const {
    return address_ + ":" + std::to_string(port_);
}

std::string SharedRigctld::Start(std::chrono::milliseconds deadline,
                                 const std::function<bool()>& cancelled) {
    if (Running()) {
        return {};
    }
    reapStrays();
    const std::string where = "Port " + std::to_string(port_) + " on " + address_;
    sockaddr_in address{};
    if (!toAddress(address_, port_, address)) {
        return address_ + " is no IPv4 address to share the rig on";
    }
    {
        // rigctld only says so on its error output; asking first gives the operator the reason.
        Socket probe(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        // As rigctld binds: a listener refuses the port, a closed connection's wait does not.
        const int reuse = 1;
        ::setsockopt(probe.fd(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
        if (::bind(probe.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            return errno == EADDRINUSE ? where + " is in use by another program"
                                       : where + " cannot be used: " + std::strerror(errno);
        }
    }
    static const std::string program = findRigctld();
    if (program.empty()) {
        return "rigctld is not installed (package libhamlib-utils)";
    }
    std::vector<std::string> args = {"rigctld", "-m", std::to_string(radio_.model), "-T",
                                     address_,  "-t", std::to_string(port_)};
    if (!radio_.device.empty()) {
        args.insert(args.end(), {"-r", radio_.device});
    }
    if (radio_.speed > 0) {
        args.insert(args.end(), {"-s", std::to_string(radio_.speed)});
    }
    args.insert(args.end(), radio_.options.begin(), radio_.options.end());
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    const pid_t parent = ::getpid();
    const long openMax = ::sysconf(_SC_OPEN_MAX);
    const pid_t pid = ::fork();
    if (pid < 0) {
        return "rigctld cannot be started: " + std::string(std::strerror(errno));
    }
    if (pid == 0) {
        // Ends with the thread that started it, so a crash of the program leaves none behind;
        // SIGINT is the signal on which every rigctld closes the radio before it ends.
        ::prctl(PR_SET_PDEATHSIG, SIGINT);
        if (::getppid() != parent) {
            ::_exit(126);
        }
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        // Nothing of the program's goes along: Hamlib opens the other rig's port and its network
        // links without close-on-exec, and a port held here could not be closed by the program.
        if (::close_range(3, ~0U, 0) != 0) {
            for (long fd = 3; fd < openMax; ++fd) {
                ::close(static_cast<int>(fd));
            }
        }
        ::execve(program.c_str(), argv.data(), environ);
        ::_exit(127);
    }
    pid_ = pid;
    for (const auto end = Clock::now() + deadline; Clock::now() < end;) {
        if (!Running()) {
            return "rigctld ended as it started (" + where + ")";
        }
        if (cancelled && cancelled()) {
            Stop(false);
            return "rigctld was stopped as it started";
        }
        if (const int connection = answeringConnection(cancelled); connection >= 0) {
            closeProbe();
            probe_ = connection;
            return {};
        }
        // Polls the new daemon; the deadline bounds the wait.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
    return "rigctld did not answer on " + SharedAt();
}

int SharedRigctld::answeringConnection(const std::function<bool()>& cancelled) const {
    sockaddr_in address{};
    toAddress(reachableHost(address_), port_, address);
    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // Any reply will do: a radio that is off still has rigctld answer for it.
    const char request[] = "\\chk_vfo\n";
    if (::connect(client, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::send(client, request, sizeof request - 1, MSG_NOSIGNAL) > 0) {
        // A rigctld still opening a slow radio answers late; a quit does not wait for it.
        for (int slice = 0; slice < 20 && !(cancelled && cancelled()); ++slice) {
            pollfd reply{client, POLLIN, 0};
            char byte = 0;
            if (::poll(&reply, 1, 50) == 1) {
                if (::recv(client, &byte, 1, 0) == 1) {
                    return client;
                }
                break;
            }
        }
    }
    ::close(client);
    return -1;
}

void SharedRigctld::closeProbe() {
    if (probe_ >= 0) {
        ::close(probe_);
        probe_ = -1;
    }
}

bool SharedRigctld::Running() {
    if (pid_ <= 0) {
        return false;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        closeProbe();
        return false;
    }
    return true;
}

void SharedRigctld::Stop(bool wait) {
    if (pid_ <= 0) {
        return;
    }
    // rigctld closes the radio on SIGINT (before Hamlib 4.6 on no other signal); one that hangs
    // in a serial call is killed.
    ::kill(pid_, SIGINT);
    for (const auto end = Clock::now() + std::chrono::seconds(2); wait && Clock::now() < end;) {
        if (!Running()) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (wait) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    } else {
        reapStrays(pid_);
    }
    pid_ = -1;
    closeProbe();
}

}  // namespace OmniRig
