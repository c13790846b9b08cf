#pragma once
// A transceiver on a pseudo-terminal, for Hamlib's real serial backends to open as if it were a
// radio on a USB cable. Subclasses speak one protocol family; this base holds what every radio
// has (two VFOs, each with its own frequency and mode, split, RIT, PTT, power), the side door a
// test turns the radio's knobs through, and the log of every command received.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
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
    std::string text;  // as the protocol spells it, without framing ("FA00014074000;", "05 ...")
    int vfo;           // the VFO the radio was on when it arrived
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

    // The side door: what the operator does at the radio.
    void turnKnob(int64_t hz);  // the VFO in use
    void setFrequency(int vfo, int64_t hz);
    void setMode(int vfo, RadioMode mode);
    void selectVfo(int vfo);
    void key(bool transmit);
    // Off: the radio falls silent, as a switched-off radio does. On: it answers again, with the
    // state it had.
    void powerOff();
    void powerOn();
    // Commands starting with this text get no answer at all, the rest are answered as before.
    void ignore(const std::string& commandPrefix);

    RadioState state() const;
    std::vector<ReceivedCommand> received() const;
    void clearReceived();
    // Waits until the predicate holds over the state (checked at every change and command).
    bool waitFor(const std::function<bool(const RadioState&)>& done,
                 std::chrono::milliseconds timeout) const;

protected:
    RadioEmulator();
    // Starts serving; the subclass calls it at the end of its constructor. Its destructor must
    // call stop() first, so no command reaches a half-destroyed subclass.
    void start();
    void stop();

    // On the emulator's thread, with the state locked: the bytes that arrived (any slice of the
    // stream), and returns the bytes to send back. The subclass keeps its own partial frame.
    virtual std::string receive(std::string_view bytes) = 0;
    // The subclass records each whole command it parses (with the state locked).
    void record(std::string text, int changed = -1);
    bool ignored(std::string_view text) const;

    RadioState state_;  // guarded by mutex_

private:
    void serve();
    void changed();

    mutable std::mutex mutex_;
    mutable std::condition_variable change_;
    std::string port_;
    int master_ = -1;
    int slave_ = -1;  // held open so the line stays up between Hamlib's opens
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::vector<ReceivedCommand> received_;
    std::set<std::string> ignored_;
    std::thread thread_;
};

// Hamlib's name for a mode, as rigctl prints it, for messages and comparisons in tests.
const char* modeName(RadioMode mode);

}  // namespace OmniRig::Testing
