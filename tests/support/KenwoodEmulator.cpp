#include "KenwoodEmulator.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace OmniRig::Testing {

namespace {

// The MD digit of each mode; the data variants are the voice mode with DA1.
int modeDigit(RadioMode mode) {
    switch (mode) {
        case RadioMode::LSB:
        case RadioMode::PKTLSB:
            return 1;
        case RadioMode::USB:
        case RadioMode::PKTUSB:
            return 2;
        case RadioMode::CW:
            return 3;
        case RadioMode::FM:
        case RadioMode::PKTFM:
            return 4;
        case RadioMode::AM:
            return 5;
        case RadioMode::RTTY:
            return 6;
        case RadioMode::CWR:
            return 7;
        case RadioMode::RTTYR:
            return 9;
    }
    return 2;
}

bool isData(RadioMode mode) {
    return mode == RadioMode::PKTLSB || mode == RadioMode::PKTUSB || mode == RadioMode::PKTFM;
}

// The mode MD<digit> selects with the data setting the VFO has; data exists on SSB and FM only.
bool modeOf(char digit, bool data, RadioMode& mode) {
    switch (digit) {
        case '1':
            mode = data ? RadioMode::PKTLSB : RadioMode::LSB;
            return true;
        case '2':
            mode = data ? RadioMode::PKTUSB : RadioMode::USB;
            return true;
        case '3':
            mode = RadioMode::CW;
            return true;
        case '4':
            mode = data ? RadioMode::PKTFM : RadioMode::FM;
            return true;
        case '5':
            mode = RadioMode::AM;
            return true;
        case '6':
            mode = RadioMode::RTTY;
            return true;
        case '7':
            mode = RadioMode::CWR;
            return true;
        case '9':
            mode = RadioMode::RTTYR;
            return true;
        default:
            return false;
    }
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

}  // namespace

KenwoodEmulator::KenwoodEmulator() {
    start();
}

KenwoodEmulator::~KenwoodEmulator() {
    stop();
}

std::string KenwoodEmulator::receive(std::string_view bytes) {
    std::string reply;
    pending_.append(bytes);
    for (size_t end; (end = pending_.find(';')) != std::string::npos;) {
        const std::string command = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        if (command.empty()) {
            continue;  // a bare ';' flushes the radio's input, nothing more
        }
        int changed = -1;
        const int arrivedOn = state_.vfo;
        if (!ignored(command)) {
            reply += execute(command, changed);
        }
        // The log keeps the VFO the command arrived on, not the one FR selected.
        const int now = std::exchange(state_.vfo, arrivedOn);
        record(command + ';', changed);
        state_.vfo = now;
    }
    return reply;
}

std::string KenwoodEmulator::execute(const std::string& command, int& changed) {
    RadioState& s = state_;
    const std::string code = command.substr(0, 2);
    const std::string arg = command.size() > 2 ? command.substr(2) : std::string();
    const bool bare = arg.empty();  // a read, or a command that takes no value
    const int tx = s.split ? 1 - s.vfo : s.vfo;
    const auto current = static_cast<size_t>(s.vfo);

    if (code == "ID" && bare) {
        return "ID021;";
    }
    if (code == "FV" && bare) {
        return "FV1.04;";
    }
    if (code == "FA" || code == "FB") {
        const auto vfo = static_cast<size_t>(code == "FB");
        if (bare) {
            return code + format("%011lld;", s.hz[vfo]);
        }
        if (digits(arg, 11)) {
            s.hz[vfo] = std::atoll(arg.c_str());
            changed = static_cast<int>(vfo);
            return {};
        }
    }
    if (code == "FR" || code == "FT") {
        if (bare) {
            return code + format("%lld;", code == "FR" ? s.vfo : tx);
        }
        // Memory channels (2) are not emulated. Choosing the receive VFO transmits on it too.
        if (arg == "0" || arg == "1") {
            const int vfo = arg[0] - '0';
            if (code == "FR") {
                s.vfo = vfo;
                s.split = false;
            } else {
                s.split = vfo != s.vfo;
            }
            return {};
        }
    }
    if (code == "MD") {
        if (bare) {
            return format("MD%lld;", modeDigit(s.mode[current]));
        }
        if (arg.size() == 1 && modeOf(arg[0], isData(s.mode[current]), s.mode[current])) {
            changed = s.vfo;
            return {};
        }
    }
    if (code == "DA") {
        if (bare) {
            return format("DA%lld;", isData(s.mode[current]));
        }
        if (arg == "0" || arg == "1") {
            const char digit = static_cast<char>('0' + modeDigit(s.mode[current]));
            modeOf(digit, arg == "1", s.mode[current]);
            changed = s.vfo;
            return {};
        }
    }
    if (code == "IF" && bare) {
        return statusAnswer();
    }
    if ((code == "RT" || code == "XT") && (bare || arg == "0" || arg == "1")) {
        bool& on = code == "RT" ? s.rit : xit_;
        if (bare) {
            return code + (on ? "1;" : "0;");
        }
        on = arg == "1";
        return {};
    }
    if (code == "RC" && bare) {
        s.ritOffset = 0;
        return {};
    }
    if ((code == "RU" || code == "RD") && (bare || digits(arg, 5))) {
        // Without a value the offset moves by 10 Hz; it stays within the radio's ±9999 Hz.
        const int hz = bare ? 10 : std::atoi(arg.c_str());
        s.ritOffset = std::clamp(s.ritOffset + (code == "RU" ? hz : -hz), -9999, 9999);
        return {};
    }
    if (code == "TX" && (bare || arg == "0" || arg == "1" || arg == "2")) {
        s.ptt = true;
        return {};
    }
    if (code == "RX" && bare) {
        s.ptt = false;
        return {};
    }
    if (code == "PS") {
        if (bare) {
            return "PS1;";
        }
        if (arg == "0" || arg == "1") {
            s.powered = arg == "1";
            return {};
        }
    }
    if (code == "AI") {
        if (bare) {
            return format("AI%lld;", autoInformation_);
        }
        if (arg.size() == 1 && std::string_view("0124").find(arg[0]) != std::string_view::npos) {
            autoInformation_ = arg[0] - '0';
            return {};
        }
    }
    return "?;";
}

// IF's fields: frequency (11), blanks (5), RIT/XIT offset (5), RIT, XIT, memory bank and channel
// (3), TX, mode, VFO, scan, split, tone, tone number (2), shift. Transmitting split, the radio
// shows the transmit VFO, and so does IF.
std::string KenwoodEmulator::statusAnswer() const {
    const RadioState& s = state_;
    const int shown = s.ptt && s.split ? 1 - s.vfo : s.vfo;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "IF%011lld     %+05d%d%d000%d%d%d0%d0000;",
                  static_cast<long long>(s.hz[static_cast<size_t>(shown)]), s.ritOffset,
                  s.rit ? 1 : 0, xit_ ? 1 : 0, s.ptt ? 1 : 0,
                  modeDigit(s.mode[static_cast<size_t>(shown)]), shown, s.split ? 1 : 0);
    return buffer;
}

}  // namespace OmniRig::Testing
