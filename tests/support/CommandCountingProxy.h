#pragma once
// A TCP proxy on a free loopback port in front of a rigctl server. It forwards both ways and
// counts the commands that pass towards the server, by their long name ("set_freq" for both
// "F 7000000" and "\set_freq 7000000"), so a test can count the radio writes a program makes
// and a benchmark can count radio commands per second. It can also stall, passing nothing on
// either way while keeping its connections open, as a peer that hangs does.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace OmniRig::Testing {

class CommandCountingProxy {
public:
    using Clock = std::chrono::steady_clock;

    // One command and its reply, as timed on the wire.
    struct Exchange {
        std::string name;  // the command's long name ("set_freq")
        std::string line;  // the command as sent
        Clock::time_point sent;
        std::optional<Clock::time_point> replied;

        bool isWrite() const { return name.compare(0, 4, "set_") == 0; }
        // The command's last argument as a whole number ("F VFOA 7012345.000000" gives 7012345).
        std::optional<int64_t> lastNumber() const;
        Clock::duration took() const { return replied ? *replied - sent : Clock::duration{}; }
    };
    using Exchanges = std::vector<Exchange>;

    explicit CommandCountingProxy(uint16_t upstreamPort);
    ~CommandCountingProxy();
    CommandCountingProxy(const CommandCountingProxy&) = delete;
    CommandCountingProxy& operator=(const CommandCountingProxy&) = delete;

    uint16_t port() const { return port_; }
    // "127.0.0.1:<port>", as a PORT setting for Hamlib's network model.
    std::string address() const;

    // The long name of a rigctl command line: "F 14000000" and "+\set_freq 14000000" are both
    // "set_freq"; an unknown one-letter command is its letter.
    static std::string commandName(const std::string& line);

    // The commands seen so far, in order, by long name.
    std::vector<std::string> commands() const;
    int count(const std::string& name) const;
    // Commands that change the radio (every "set_..." command).
    int writes() const;
    int total() const;
    void reset();

    // Waits until the predicate over the commands seen holds, or the time-out passes.
    bool waitFor(const std::function<bool(const std::vector<std::string>&)>& done,
                 std::chrono::milliseconds timeout) const;

    // The commands seen since the last reset, with their times.
    Exchanges exchanges() const;
    bool waitForExchanges(const std::function<bool(const Exchanges&)>& done,
                          std::chrono::milliseconds timeout) const;

    void setStalled(bool stalled);
    // Drops every connection, as a network failure would.
    void dropConnections();
    int connectionsAccepted() const;

private:
    struct Pipe;
    void run();
    void wake();
    void record(Pipe& pipe, const std::string& line, Clock::time_point sent);
    void replied(Pipe& pipe);

    uint16_t upstreamPort_;
    uint16_t port_ = 0;
    int listener_ = -1;
    int wakeFd_ = -1;
    std::thread thread_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> commands_;
    Exchanges exchanges_;
    bool stalled_ = false;
    bool dropRequested_ = false;
    bool stopping_ = false;
    int accepted_ = 0;
};

}  // namespace OmniRig::Testing
