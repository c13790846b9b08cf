#pragma once
// A real rigctld (Hamlib's Dummy rig behind its network daemon, or another radio) on a free
// loopback port, run as a child process. A test can talk to it as a second client, kill it and
// start it again on the same port; it is killed when the peer is destroyed.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "LoopbackSocket.h"
#include "SharedRigctld.h"

namespace OmniRig::Testing {

struct RigctlReply {
    int code = 0;                    // the RPRT code; 0 is success
    std::vector<std::string> lines;  // "Key: value" lines, without the echo and the RPRT line

    // The value after "Key: ", or "" when the reply has no such line.
    std::string value(const std::string& key) const;
};

class RigctldPeer {
public:
    // Starts `rigctld -m 1` and waits until it accepts connections. Throws when it cannot be
    // started before the deadline (rigctld missing, no free port).
    explicit RigctldPeer(std::chrono::milliseconds deadline = std::chrono::seconds(10));
    // The same for a radio of another model, an emulated one on its pseudo-terminal say.
    explicit RigctldPeer(SharedRigctld::Radio radio,
                         std::chrono::milliseconds deadline = std::chrono::seconds(10));
    ~RigctldPeer();
    RigctldPeer(const RigctldPeer&) = delete;
    RigctldPeer& operator=(const RigctldPeer&) = delete;

    uint16_t port() const { return port_; }
    // "127.0.0.1:<port>", as a PORT setting for Hamlib's network model.
    std::string address() const;
    bool running() const { return daemon_ != nullptr; }

    // Stops the daemon and reaps it; its clients see the link drop.
    void kill();
    // Starts it again on the same port and waits until it accepts connections.
    void restart(std::chrono::milliseconds deadline = std::chrono::seconds(10));

    // Sends one rigctl command ("F 7010000", "V VFOB", "\get_freq") as a second client, in the
    // extended reply format, and returns the reply. Throws when the daemon does not answer.
    RigctlReply command(const std::string& command);

private:
    bool launch(std::chrono::milliseconds deadline);

    SharedRigctld::Radio radio_{1, "", 0, {}};
    uint16_t port_ = 0;
    std::unique_ptr<SharedRigctld> daemon_;
    LoopbackSocket client_;
};

}  // namespace OmniRig::Testing
