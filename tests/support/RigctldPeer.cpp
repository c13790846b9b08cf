#include "RigctldPeer.h"

#include <stdexcept>

namespace OmniRig::Testing {

namespace {

constexpr std::chrono::milliseconds kReplyTimeout{5000};

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

RigctldPeer::RigctldPeer(std::chrono::milliseconds deadline)
    : RigctldPeer(SharedRigctld::Radio{1, "", 0, {}}, deadline) {}

RigctldPeer::RigctldPeer(SharedRigctld::Radio radio, std::chrono::milliseconds deadline)
    : radio_(std::move(radio)) {
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
    daemon_ = std::make_unique<SharedRigctld>(radio_, "127.0.0.1", port_);
    if (daemon_->Start(deadline).empty()) {
        return true;
    }
    daemon_.reset();
    return false;
}

void RigctldPeer::kill() {
    client_.close();
    daemon_.reset();
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
