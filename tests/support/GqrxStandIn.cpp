#include "GqrxStandIn.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <stdexcept>

#include "LoopbackSocket.h"

namespace OmniRig::Testing {

namespace {

// gqrx's reply to \dump_state, byte for byte: the old format (protocol 0), receive only.
constexpr const char* kDumpState =
    "0\n2\n1\n0.000000 10000000000.000000 0x2ef -1 -1 0x1 0x0\n0 0 0 0 0 0 0\n0 0 0 0 0 0 0\n"
    "0xef 1\n0xef 0\n0 0\n0x82 500\n0x82 200\n0x82 2000\n0x221 10000\n0x221 5000\n"
    "0x221 20000\n0x0c 2700\n0x0c 1400\n0x0c 3900\n0x40 160000\n0x40 120000\n0x40 200000\n"
    "0 0\n0\n0\n0\n0\n0\n0\n0\n0\n0x40000020\n0x20\n0\n0\n";

// The modes gqrx shares with Hamlib's names, each with the width gqrx gives it (its "Normal"
// filter).
const std::map<std::string, int>& modeWidths() {
    static const std::map<std::string, int> widths = {
        {"AM", 10000}, {"AMS", 10000}, {"FM", 10000}, {"WFM", 160000},
        {"LSB", 2700}, {"USB", 2700},  {"CW", 500},   {"CWR", 500},
    };
    return widths;
}

// A whole number, or 0 for anything else, as Qt's toInt() reads it.
int wholeNumber(const std::string& text) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str() && *end == '\0' ? static_cast<int>(value) : 0;
}

}  // namespace

GqrxStandIn::GqrxStandIn() {
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
        throw std::runtime_error("the gqrx stand-in cannot listen on the loopback interface");
    }
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { run(); });
}

GqrxStandIn::~GqrxStandIn() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake();
    thread_.join();
    ::close(listener_);
    ::close(wakeFd_);
}

std::string GqrxStandIn::address() const {
    return "127.0.0.1:" + std::to_string(port_);
}

GqrxStandIn::State GqrxStandIn::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

void GqrxStandIn::tune(int64_t hz) {
    std::lock_guard lock(mutex_);
    state_.hz = hz;
}

void GqrxStandIn::selectMode(const std::string& mode) {
    std::lock_guard lock(mutex_);
    state_.mode = mode;
    state_.passband = modeWidths().at(mode);
}

void GqrxStandIn::setPassband(int hz) {
    std::lock_guard lock(mutex_);
    state_.passband = hz;
}

std::vector<std::string> GqrxStandIn::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

int GqrxStandIn::connectionsAccepted() const {
    std::lock_guard lock(mutex_);
    return accepted_;
}

void GqrxStandIn::wake() {
    const uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(wakeFd_, &one, sizeof one);
}

std::string GqrxStandIn::answer(const std::string& line, bool& close) {
    std::istringstream words(line);
    std::string command;
    std::string first;
    std::string second;
    words >> command >> first >> second;
    const std::string ok = "RPRT 0\n";
    const std::string refused = "RPRT 1\n";

    std::lock_guard lock(mutex_);
    received_.push_back(line);
    if (command == "f") {
        return std::to_string(state_.hz) + "\n";
    }
    if (command == "F") {
        char* end = nullptr;
        const double hz = std::strtod(first.c_str(), &end);
        if (end == first.c_str() || *end != '\0') {
            return refused;
        }
        state_.hz = std::llround(hz);
        return ok;
    }
    if (command == "m") {
        return state_.mode + "\n" + std::to_string(state_.passband) + "\n";
    }
    if (command == "M") {
        const auto found = modeWidths().find(first);
        if (found == modeWidths().end()) {
            return refused;
        }
        const int width = wholeNumber(second);
        state_.mode = found->first;
        state_.passband = width != 0 ? width : found->second;
        return ok;
    }
    if (command == "v" || (command == "V" && first == "?")) {
        return "VFOA\n";
    }
    if (command == "V") {
        return first == "VFOA" ? ok : refused;
    }
    if (command == "s") {
        return "0\nVFOA\n";
    }
    if (command == "_") {
        return "Gqrx 2.15.9\n";
    }
    if (command == "\\dump_state") {
        return kDumpState;
    }
    if (command == "q" || command == "Q") {
        close = true;
        return {};
    }
    return refused;
}

void GqrxStandIn::run() {
    LoopbackSocket client;
    std::string partial;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                return;
            }
        }
        std::vector<pollfd> fds{{wakeFd_, POLLIN, 0}, {listener_, POLLIN, 0}};
        if (client.valid()) {
            fds.push_back({client.fd(), POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
            return;
        }
        if (fds[0].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const auto n = ::read(wakeFd_, &count, sizeof count);
        }
        if (fds[1].revents & POLLIN) {
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                // gqrx serves one client: the newcomer takes the port from the one before.
                client = LoopbackSocket(fd);
                partial.clear();
                std::lock_guard lock(mutex_);
                ++accepted_;
            }
            continue;
        }
        if (fds.size() < 3 || !(fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
            continue;
        }
        char chunk[4096];
        const ssize_t n = ::recv(client.fd(), chunk, sizeof chunk, 0);
        if (n <= 0) {
            client.close();
            continue;
        }
        partial.append(chunk, static_cast<size_t>(n));
        size_t nl;
        while (client.valid() && (nl = partial.find('\n')) != std::string::npos) {
            std::string line = partial.substr(0, nl);
            partial.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            bool close = false;
            const std::string reply = answer(line, close);
            if (close || !client.sendAll(reply)) {
                client.close();
            }
        }
    }
}

}  // namespace OmniRig::Testing
