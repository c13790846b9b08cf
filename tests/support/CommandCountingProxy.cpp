#include "CommandCountingProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "LoopbackSocket.h"

namespace OmniRig::Testing {

namespace {

// The one-letter commands of rigctl that the programs here use, by long name.
const std::map<char, std::string>& shortCommands() {
    static const std::map<char, std::string> names = {
        {'F', "set_freq"},       {'f', "get_freq"},       {'M', "set_mode"},
        {'m', "get_mode"},       {'V', "set_vfo"},        {'v', "get_vfo"},
        {'S', "set_split_vfo"},  {'s', "get_split_vfo"},  {'I', "set_split_freq"},
        {'i', "get_split_freq"}, {'X', "set_split_mode"}, {'x', "get_split_mode"},
        {'J', "set_rit"},        {'j', "get_rit"},        {'Z', "set_xit"},
        {'z', "get_xit"},        {'T', "set_ptt"},        {'t', "get_ptt"},
        {'U', "set_func"},       {'u', "get_func"},       {'L', "set_level"},
        {'l', "get_level"},      {'P', "set_parm"},       {'p', "get_parm"},
        {'q', "quit"},           {'Q', "quit"},
    };
    return names;
}

bool sendAll(int fd, const char* data, size_t size) {
    size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::send(fd, data + sent, size - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

// One client connection and its connection to the server.
struct CommandCountingProxy::Pipe {
    LoopbackSocket client;
    LoopbackSocket server;
    std::string partialLine;
    // The exchange whose reply is awaited on this connection.
    std::optional<size_t> awaiting;
};

std::optional<int64_t> CommandCountingProxy::Exchange::lastNumber() const {
    const size_t end = line.find_last_not_of(" \t\r");
    if (end == std::string::npos) {
        return std::nullopt;
    }
    const size_t start = line.find_last_of(" \t", end);
    const std::string token = line.substr(start == std::string::npos ? 0 : start + 1);
    char* rest = nullptr;
    const double value = std::strtod(token.c_str(), &rest);
    if (rest == token.c_str()) {
        return std::nullopt;
    }
    return std::llround(value);
}

CommandCountingProxy::CommandCountingProxy(uint16_t upstreamPort) : upstreamPort_(upstreamPort) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (listener_ < 0 || wakeFd_ < 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        if (listener_ >= 0) {
            ::close(listener_);
        }
        if (wakeFd_ >= 0) {
            ::close(wakeFd_);
        }
        throw std::runtime_error("the proxy cannot listen on the loopback interface");
    }
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { run(); });
}

CommandCountingProxy::~CommandCountingProxy() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake();
    thread_.join();
    ::close(listener_);
    ::close(wakeFd_);
}

std::string CommandCountingProxy::address() const {
    return "127.0.0.1:" + std::to_string(port_);
}

std::string CommandCountingProxy::commandName(const std::string& line) {
    size_t i = line.find_first_not_of(" \t");
    // The extended reply formats put one of these in front of the command.
    while (i != std::string::npos && i < line.size() &&
           std::string("+;|,").find(line[i]) != std::string::npos) {
        ++i;
    }
    if (i == std::string::npos || i >= line.size()) {
        return {};
    }
    if (line[i] == '\\') {
        const size_t end = line.find_first_of(" \t\r", i + 1);
        return line.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
    }
    const auto& names = shortCommands();
    const auto found = names.find(line[i]);
    return found != names.end() ? found->second : std::string(1, line[i]);
}

std::vector<std::string> CommandCountingProxy::commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

int CommandCountingProxy::count(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count(commands_.begin(), commands_.end(), name));
}

int CommandCountingProxy::writes() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(commands_.begin(), commands_.end(), [](const auto& c) {
        return c.compare(0, 4, "set_") == 0;
    }));
}

int CommandCountingProxy::total() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(commands_.size());
}

void CommandCountingProxy::reset() {
    std::lock_guard lock(mutex_);
    commands_.clear();
    exchanges_.clear();
}

CommandCountingProxy::Exchanges CommandCountingProxy::exchanges() const {
    std::lock_guard lock(mutex_);
    return exchanges_;
}

bool CommandCountingProxy::waitForExchanges(const std::function<bool(const Exchanges&)>& done,
                                            std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return done(exchanges_); });
}

bool CommandCountingProxy::waitFor(const std::function<bool(const std::vector<std::string>&)>& done,
                                   std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return done(commands_); });
}

void CommandCountingProxy::setStalled(bool stalled) {
    {
        std::lock_guard lock(mutex_);
        stalled_ = stalled;
    }
    wake();
}

void CommandCountingProxy::dropConnections() {
    {
        std::lock_guard lock(mutex_);
        dropRequested_ = true;
    }
    wake();
}

int CommandCountingProxy::connectionsAccepted() const {
    std::lock_guard lock(mutex_);
    return accepted_;
}

void CommandCountingProxy::wake() {
    const uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(wakeFd_, &one, sizeof one);
}

void CommandCountingProxy::record(Pipe& pipe, const std::string& line, Clock::time_point sent) {
    std::string name = commandName(line);
    if (name.empty()) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        commands_.push_back(name);
        exchanges_.push_back({std::move(name), line, sent, std::nullopt});
        pipe.awaiting = exchanges_.size() - 1;
    }
    changed_.notify_all();
}

void CommandCountingProxy::replied(Pipe& pipe) {
    if (!pipe.awaiting) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        // A reset in between has dropped the exchange.
        if (*pipe.awaiting < exchanges_.size()) {
            exchanges_[*pipe.awaiting].replied = Clock::now();
        }
    }
    pipe.awaiting.reset();
    changed_.notify_all();
}

void CommandCountingProxy::run() {
    std::vector<std::unique_ptr<Pipe>> pipes;
    for (;;) {
        bool stalled = false;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                return;
            }
            stalled = stalled_;
            if (dropRequested_) {
                pipes.clear();
                dropRequested_ = false;
            }
        }
        std::vector<pollfd> fds{{wakeFd_, POLLIN, 0}, {listener_, POLLIN, 0}};
        if (!stalled) {
            for (const auto& p : pipes) {
                fds.push_back({p->client.fd(), POLLIN, 0});
                fds.push_back({p->server.fd(), POLLIN, 0});
            }
        }
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
            return;
        }
        if (fds[0].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const auto n = ::read(wakeFd_, &count, sizeof count);
        }
        if (fds[1].revents & POLLIN) {
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                {
                    std::lock_guard lock(mutex_);
                    ++accepted_;
                }
                auto pipe = std::make_unique<Pipe>();
                pipe->client = LoopbackSocket(client);
                // A server that is down shows as a connection that closes at once.
                pipe->server = LoopbackSocket(connectLoopback(upstreamPort_));
                if (pipe->server.valid()) {
                    pipes.push_back(std::move(pipe));
                }
            }
        }
        if (stalled) {
            continue;
        }
        std::vector<Pipe*> closed;
        for (size_t i = 2; i + 1 < fds.size(); i += 2) {
            Pipe* pipe = pipes[(i - 2) / 2].get();
            char chunk[4096];
            bool open = true;
            if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) {
                const ssize_t n = ::recv(pipe->client.fd(), chunk, sizeof chunk, 0);
                const auto sent = Clock::now();
                if (n > 0) {
                    pipe->partialLine.append(chunk, static_cast<size_t>(n));
                    size_t nl;
                    while ((nl = pipe->partialLine.find('\n')) != std::string::npos) {
                        record(*pipe, pipe->partialLine.substr(0, nl), sent);
                        pipe->partialLine.erase(0, nl + 1);
                    }
                }
                open = n > 0 && sendAll(pipe->server.fd(), chunk, static_cast<size_t>(n));
            }
            if (open && (fds[i + 1].revents & (POLLIN | POLLHUP | POLLERR))) {
                const ssize_t n = ::recv(pipe->server.fd(), chunk, sizeof chunk, 0);
                if (n > 0) {
                    replied(*pipe);
                }
                open = n > 0 && sendAll(pipe->client.fd(), chunk, static_cast<size_t>(n));
            }
            if (!open) {
                closed.push_back(pipe);
            }
        }
        std::erase_if(pipes, [&](const auto& p) {
            return std::find(closed.begin(), closed.end(), p.get()) != closed.end();
        });
    }
}

}  // namespace OmniRig::Testing
