#include "RadioEmulator.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

namespace OmniRig::Testing {

RadioEmulator::RadioEmulator() {
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
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(slave_, F_SETFD, FD_CLOEXEC);
}

RadioEmulator::~RadioEmulator() {
    stop();
    for (const int fd : {master_, slave_, wakeRead_, wakeWrite_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

void RadioEmulator::start() {
    thread_ = std::thread([this] { serve(); });
}

void RadioEmulator::stop() {
    if (thread_.joinable()) {
        const char byte = 0;
        [[maybe_unused]] const auto n = ::write(wakeWrite_, &byte, 1);
        thread_.join();
    }
}

void RadioEmulator::serve() {
    char buffer[512];
    for (;;) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            continue;
        }
        if (fds[1].revents != 0) {
            return;
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
        change_.notify_all();
        for (size_t done = 0; done < reply.size();) {
            const ssize_t w = ::write(master_, reply.data() + done, reply.size() - done);
            if (w <= 0) {
                break;
            }
            done += static_cast<size_t>(w);
        }
    }
}

void RadioEmulator::record(std::string text, int changedVfo) {
    received_.push_back(
        {std::chrono::steady_clock::now(), std::move(text), state_.vfo, changedVfo});
}

bool RadioEmulator::ignored(std::string_view text) const {
    if (!state_.powered) {
        return true;
    }
    for (const std::string& prefix : ignored_) {
        if (text.substr(0, prefix.size()) == prefix) {
            return true;
        }
    }
    return false;
}

void RadioEmulator::changed() {
    change_.notify_all();
}

void RadioEmulator::turnKnob(int64_t hz) {
    {
        std::lock_guard lock(mutex_);
        state_.hz[static_cast<size_t>(state_.vfo)] = hz;
    }
    changed();
}

void RadioEmulator::setFrequency(int vfo, int64_t hz) {
    {
        std::lock_guard lock(mutex_);
        state_.hz[static_cast<size_t>(vfo)] = hz;
    }
    changed();
}

void RadioEmulator::setMode(int vfo, RadioMode mode) {
    {
        std::lock_guard lock(mutex_);
        state_.mode[static_cast<size_t>(vfo)] = mode;
    }
    changed();
}

void RadioEmulator::selectVfo(int vfo) {
    {
        std::lock_guard lock(mutex_);
        state_.vfo = vfo;
    }
    changed();
}

void RadioEmulator::key(bool transmit) {
    {
        std::lock_guard lock(mutex_);
        state_.ptt = transmit;
    }
    changed();
}

void RadioEmulator::powerOff() {
    {
        std::lock_guard lock(mutex_);
        state_.powered = false;
    }
    changed();
}

void RadioEmulator::powerOn() {
    {
        std::lock_guard lock(mutex_);
        state_.powered = true;
    }
    changed();
}

void RadioEmulator::ignore(const std::string& commandPrefix) {
    std::lock_guard lock(mutex_);
    ignored_.insert(commandPrefix);
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

bool RadioEmulator::waitFor(const std::function<bool(const RadioState&)>& done,
                            std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return change_.wait_for(lock, timeout, [&] { return done(state_); });
}

const char* modeName(RadioMode mode) {
    switch (mode) {
        case RadioMode::LSB:
            return "LSB";
        case RadioMode::USB:
            return "USB";
        case RadioMode::CW:
            return "CW";
        case RadioMode::CWR:
            return "CWR";
        case RadioMode::AM:
            return "AM";
        case RadioMode::FM:
            return "FM";
        case RadioMode::RTTY:
            return "RTTY";
        case RadioMode::RTTYR:
            return "RTTYR";
        case RadioMode::PKTUSB:
            return "PKTUSB";
        case RadioMode::PKTLSB:
            return "PKTLSB";
        case RadioMode::PKTFM:
            return "PKTFM";
    }
    return "?";
}

}  // namespace OmniRig::Testing
