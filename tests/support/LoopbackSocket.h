#pragma once
// Small blocking TCP helpers on the loopback interface, for tests and benchmarks that run real
// network peers.

#include <chrono>
#include <cstdint>
#include <string>

namespace OmniRig::Testing {

// A port on 127.0.0.1 that nothing listened on a moment ago.
uint16_t freeLoopbackPort();

// An open connection to 127.0.0.1, or -1 when nothing accepts on the port.
int connectLoopback(uint16_t port);

// A connected TCP socket that closes itself.
class LoopbackSocket {
public:
    LoopbackSocket() = default;
    explicit LoopbackSocket(int fd) : fd_(fd) {}
    ~LoopbackSocket() { close(); }
    LoopbackSocket(LoopbackSocket&& other) noexcept : fd_(other.release()) {}
    LoopbackSocket& operator=(LoopbackSocket&& other) noexcept;
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    bool valid() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    int release();
    void close();

    bool sendAll(const std::string& data);
    // One line without its line break; false on end of stream, error or time-out.
    bool readLine(std::string& line, std::chrono::milliseconds timeout);

private:
    int fd_ = -1;
    std::string buffered_;
};

}  // namespace OmniRig::Testing
