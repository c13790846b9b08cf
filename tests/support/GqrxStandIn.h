#pragma once
// A stand-in for gqrx's remote control port (gqrx 2.15.9) on a free loopback port, answering
// what Hamlib's network model sends on open and in a poll as gqrx answers it, quirks included:
// one client at a time (a new connection closes the one before), "RPRT 1" for every command it
// does not know, one VFO, and a mode write's width taken as the passband itself, so -1 is a
// passband of -1 Hz, while 0 or none gives the mode gqrx's own width for it. A side door stands
// for the operator at gqrx's window.

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace OmniRig::Testing {

class GqrxStandIn {
public:
    struct State {
        int64_t hz = 14'074'000;
        std::string mode = "USB";  // as gqrx names it to Hamlib
        int passband = 2700;
    };

    GqrxStandIn();
    ~GqrxStandIn();
    GqrxStandIn(const GqrxStandIn&) = delete;
    GqrxStandIn& operator=(const GqrxStandIn&) = delete;

    // "127.0.0.1:<port>", as a PORT setting for Hamlib's network model.
    std::string address() const;
    uint16_t port() const { return port_; }

    State state() const;
    void tune(int64_t hz);
    // With gqrx's own width for the mode, as its mode box gives it.
    void selectMode(const std::string& mode);
    // The filter's edges dragged to this width.
    void setPassband(int hz);

    // Every command line received, from every client, in order.
    std::vector<std::string> received() const;
    int connectionsAccepted() const;

private:
    void run();
    void wake();
    // The reply to one command line; `close` is set when gqrx would end the connection.
    std::string answer(const std::string& line, bool& close);

    uint16_t port_ = 0;
    int listener_ = -1;
    int wakeFd_ = -1;
    std::thread thread_;

    mutable std::mutex mutex_;
    State state_;
    std::vector<std::string> received_;
    int accepted_ = 0;
    bool stopping_ = false;
};

}  // namespace OmniRig::Testing
