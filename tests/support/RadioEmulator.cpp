#include "RadioEmulator.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace OmniRig::Testing {

RadioEmulator::RadioEmulator(Receive receive) {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
    }
    port_ = name;
    // Raw from the start: the line discipline must neither echo nor cook what Hamlib sends
    // before it sets the port up itself.
    termios tio{};
    tcgetattr(slave_, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave_, TCSANOW, &tio);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
    thread_ = std::thread([this, receive = std::move(receive)] { serve(receive); });
}

RadioEmulator::~RadioEmulator() {
    stopping_ = true;
    thread_.join();
    ::close(master_);
    ::close(slave_);
}

void RadioEmulator::serve(const Receive& receive) {
    char buffer[512];
    while (!stopping_) {
        // A short wait, so a stop is seen without a wake-up channel of its own.
        pollfd fd{master_, POLLIN, 0};
        if (::poll(&fd, 1, 20) <= 0) {
            continue;
        }
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) {
            continue;
        }
        std::string reply;
        {
            std::lock_guard lock(mutex_);
            reply = receive(std::string_view(buffer, static_cast<size_t>(n)));
        }
        for (size_t done = 0; done < reply.size();) {
            const ssize_t w = ::write(master_, reply.data() + done, reply.size() - done);
            if (w <= 0) {
                break;
            }
            done += static_cast<size_t>(w);
        }
    }
}

std::string RadioEmulator::handle(std::string text,
                                  const std::function<std::string(int& changed)>& run) {
    bool silent = !state_.powered;
    for (const std::string& prefix : ignored_) {
        silent = silent || text.starts_with(prefix);
    }
    int changed = -1;
    const RadioState before = state_;
    std::string answer = silent ? std::string() : run(changed);
    if (loseNextWrite_ && changed != -1) {
        state_ = before;
        answer.clear();
        changed = -1;
        loseNextWrite_ = false;
    }
    received_.push_back({std::chrono::steady_clock::now(), std::move(text), changed});
    return answer;
}

RadioEmulator::Receive RadioEmulator::semicolonFramed(RadioEmulator* radio, Command run) {
    return [radio, run = std::move(run), pending = std::string()](std::string_view bytes) mutable {
        std::string reply;
        pending.append(bytes);
        for (size_t end; (end = pending.find(';')) != std::string::npos;) {
            const std::string command = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!command.empty()) {
                reply += radio->handle(command + ';',
                                       [&](int& changed) { return run(command, changed); });
            }
        }
        return reply;
    };
}

bool digits(const std::string& text, size_t count) {
    return text.size() == count &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string format(const char* pattern, long long value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

void RadioEmulator::operate(const std::function<void(RadioState&)>& change) {
    std::lock_guard lock(mutex_);
    change(state_);
}

void RadioEmulator::ignore(const std::string& commandPrefix) {
    std::lock_guard lock(mutex_);
    ignored_.insert(commandPrefix);
}

void RadioEmulator::loseNextWrite() {
    std::lock_guard lock(mutex_);
    loseNextWrite_ = true;
}

RadioState RadioEmulator::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

std::vector<ReceivedCommand> RadioEmulator::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

void RadioEmulator::clearReceived() {
    std::lock_guard lock(mutex_);
    received_.clear();
}

const char* modeName(RadioMode mode) {
    static constexpr const char* kNames[] = {"LSB",  "USB",   "CW",     "CWR",    "AM",  "FM",
                                             "RTTY", "RTTYR", "PKTUSB", "PKTLSB", "FM-D"};
    return kNames[static_cast<size_t>(mode)];
}

}  // namespace OmniRig::Testing
