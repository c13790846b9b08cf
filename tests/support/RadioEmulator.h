#pragma once
// A transceiver on a pseudo-terminal, for Hamlib's real serial backends to open as if it were a
// radio on a USB cable. Subclasses speak one protocol family; this base holds what every radio
// has (two VFOs, each with its own frequency and mode, split, RIT, PTT, power), the side door a
// test turns the radio's knobs through, and the log of every command received.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace OmniRig::Testing {

enum class RadioMode { LSB, USB, CW, CWR, AM, FM, RTTY, RTTYR, PKTUSB, PKTLSB, PKTFM };

struct RadioState {
    enum { A = 0, B = 1 };
    std::array<int64_t, 2> hz{14'074'000, 7'074'000};
    std::array<RadioMode, 2> mode{RadioMode::USB, RadioMode::LSB};
    int vfo = A;  // the VFO the radio receives on
    bool split = false;
    bool rit = false;
    int ritOffset = 0;
    bool ptt = false;
    bool powered = true;
};

// One command as it reached the radio.
struct ReceivedCommand {
    std::chrono::steady_clock::time_point at;
    std::string text;  // as the protocol spells it, without framing ("FA00014074000;", "25 00")
    // The VFO whose frequency or mode the command changed, -1 when it changed neither.
    int changed = -1;
};

class RadioEmulator {
public:
    virtual ~RadioEmulator();
    RadioEmulator(const RadioEmulator&) = delete;
    RadioEmulator& operator=(const RadioEmulator&) = delete;

    // The pseudo-terminal's device path: the PORT setting for Hamlib's serial model.
    const std::string& port() const { return port_; }

    // The side door: what the operator does at the radio. Off, the radio falls silent; on
    // again, it answers with the state it had.
    void turnKnob(int64_t hz) {
        operate([hz](RadioState& s) { s.hz[static_cast<size_t>(s.vfo)] = hz; });
    }
    void setFrequency(int vfo, int64_t hz) {
        operate([=](RadioState& s) { s.hz[static_cast<size_t>(vfo)] = hz; });
    }
    void setMode(int vfo, RadioMode mode) {
        operate([=](RadioState& s) { s.mode[static_cast<size_t>(vfo)] = mode; });
    }
    void selectVfo(int vfo) {
        operate([vfo](RadioState& s) { s.vfo = vfo; });
    }
    void key(bool transmit) {
        operate([transmit](RadioState& s) { s.ptt = transmit; });
    }
    void power(bool on) {
        operate([on](RadioState& s) { s.powered = on; });
    }
    // Commands starting with this text get no answer at all, the rest are answered as before.
    void ignore(const std::string& commandPrefix);
    // The next command that would change a frequency or mode is lost on the way: not carried
    // out, not answered.
    void loseNextWrite();

    RadioState state() const;
    std::vector<ReceivedCommand> received() const;
    void clearReceived();

protected:
    // Serves the terminal from a thread of its own, handing what arrives to `receive`, which
    // runs with the state locked and returns the bytes to send back. The subclass frames the
    // stream itself and passes each whole command to handle().
    using Receive = std::function<std::string(std::string_view bytes)>;
    explicit RadioEmulator(Receive receive);

    // Logs one command and, unless the radio is off or told to ignore it, runs it: `run`
    // returns the answer and sets the VFO whose frequency or mode it changed.
    std::string handle(std::string text, const std::function<std::string(int& changed)>& run);

    // The framing of the CAT protocols whose commands end with ';' (Kenwood's, Yaesu's): each
    // whole command goes through handle() to `run` without its ';'; a bare ';' only clears the
    // radio's input.
    using Command = std::function<std::string(const std::string& command, int& changed)>;
    static Receive semicolonFramed(RadioEmulator* radio, Command run);

    RadioState state_;  // guarded by mutex_

private:
    void operate(const std::function<void(RadioState&)>& change);
    void serve(const Receive& receive);

    mutable std::mutex mutex_;
    std::string port_;
    int master_ = -1;
    int slave_ = -1;  // held open so the line stays up between Hamlib's opens
    std::vector<ReceivedCommand> received_;
    std::set<std::string> ignored_;
    bool loseNextWrite_ = false;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

// For the text protocols: whether `text` is `count` digits; one number in a printf pattern.
bool digits(const std::string& text, size_t count);
std::string format(const char* pattern, long long value);

// Hamlib's name for a mode, as rigctl prints it, for test messages.
const char* modeName(RadioMode mode);

}  // namespace OmniRig::Testing
