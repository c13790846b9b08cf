#pragma once
// A rigctld of the rig server's own that shares one rig's radio with the station's other programs
// (a logger, a digital-mode program) on a TCP port: started for the radio's model, device and
// speed, watched, started again when it dies, and stopped with its owner. A crash of the program
// takes it along, so none is ever left running behind.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace OmniRig {

class SharedRigctld {
public:
    struct Radio {
        int model = 0;
        std::string device;                     // empty: Hamlib's default for the model
        int speed = 0;                          // 0: the model's default
        std::vector<std::string> options = {};  // rigctld's own, such as "--vfo"
    };

    // `address` is the address to listen on ("127.0.0.1" unless the operator names another).
    SharedRigctld(Radio radio, std::string address, uint16_t port);
    ~SharedRigctld();
    SharedRigctld(const SharedRigctld&) = delete;
    SharedRigctld& operator=(const SharedRigctld&) = delete;

    // Starts rigctld unless it runs and waits until it answers, or until `cancelled` says the
    // wait is no longer wanted. Returns why it could not, or nothing: "Port 4532 on 127.0.0.1 is
    // in use by another program", ...
    std::string Start(std::chrono::milliseconds deadline,
                      const std::function<bool()>& cancelled = {});
    // Whether it runs; a rigctld that died is reaped here.
    bool Running();
    // Asks rigctld to close the radio and end; with `wait`, waits a while for that and then
    // kills it, and without (the program is quitting) leaves it to finish on its own.
    void Stop(bool wait = true);

    // Where Hamlib's network model reaches it: "127.0.0.1:4532".
    std::string Endpoint() const;
    // Where the station's other programs reach it, for the operator: "127.0.0.1:4532".
    std::string SharedAt() const;
    pid_t Pid() const { return pid_; }

private:
    // Connects and asks; the connection that answered, or -1.
    int answeringConnection(const std::function<bool()>& cancelled) const;
    void closeProbe();

    Radio radio_;
    std::string address_;
    uint16_t port_;
    pid_t pid_ = -1;
    // rigctld closes a finished client's socket more than once, which can drop a connection
    // opened at that moment (the rig server's own, right after the start): the connection that
    // saw it answer stays open while it runs.
    int probe_ = -1;
};

}  // namespace OmniRig
