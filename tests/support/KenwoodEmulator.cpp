#include "KenwoodEmulator.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace OmniRig::Testing {

namespace {

// The MD digit, and DA (data) on or off, of each mode; data exists on SSB and FM only.
struct KenwoodMode {
    RadioMode mode;
    char digit;
    bool data;
};
constexpr KenwoodMode kModes[] = {
    {RadioMode::LSB, '1', false},   {RadioMode::USB, '2', false},   {RadioMode::CW, '3', false},
    {RadioMode::FM, '4', false},    {RadioMode::AM, '5', false},    {RadioMode::RTTY, '6', false},
    {RadioMode::CWR, '7', false},   {RadioMode::RTTYR, '9', false}, {RadioMode::PKTLSB, '1', true},
    {RadioMode::PKTUSB, '2', true}, {RadioMode::PKTFM, '4', true},
};

const KenwoodMode& kenwoodMode(RadioMode mode) {
    return *std::find_if(std::begin(kModes), std::end(kModes),
                         [mode](const KenwoodMode& m) { return m.mode == mode; });
}

// Sets the mode of MD's digit and DA's data flag; false when there is no such mode.
bool setMode(RadioMode& mode, char digit, bool data) {
    for (const KenwoodMode& m : kModes) {
        if (m.digit == digit &&
            m.data == (data && (digit == '1' || digit == '2' || digit == '4'))) {
            mode = m.mode;
            return true;
        }
    }
    return false;
}

// IF's fields: frequency (11), blanks (5), RIT offset (5), RIT, XIT, memory (3), TX, mode, VFO,
// scan, split, tone, tone number (2), shift.
std::string statusAnswer(const RadioState& s) {
    char buffer[64];
    const auto vfo = static_cast<size_t>(s.vfo);
    std::snprintf(buffer, sizeof buffer, "IF%011lld     %+05d%d0000%d%c%d0%d0000;",
                  static_cast<long long>(s.hz[vfo]), s.ritOffset, s.rit, s.ptt,
                  kenwoodMode(s.mode[vfo]).digit, s.vfo, s.split);
    return buffer;
}

// One command without its ';'. Only what Hamlib's backend sends for the program's calls is
// known; the rest gets "?;", as the radio answers what it does not know.
std::string execute(RadioState& s, const std::string& command, int& changed) {
    const std::string code = command.substr(0, 2);
    const std::string arg = command.substr(std::min<size_t>(2, command.size()));
    const bool read = arg.empty();
    const bool flag = arg == "0" || arg == "1";
    RadioMode& mode = s.mode[static_cast<size_t>(s.vfo)];
    if (read && (code == "ID" || code == "FV" || code == "PS" || code == "AI")) {
        return code == "ID" ? "ID021;" : code == "FV" ? "FV1.04;" : code == "PS" ? "PS1;" : "AI0;";
    }
    if (code == "FA" || code == "FB") {
        const auto vfo = static_cast<size_t>(code == "FB");
        if (read) {
            return code + format("%011lld;", s.hz[vfo]);
        }
        if (digits(arg, 11)) {
            s.hz[vfo] = std::atoll(arg.c_str());
            changed = static_cast<int>(vfo);
            return {};
        }
    }
    if ((code == "FR" || code == "FT") && (read || flag)) {
        // Choosing the receive VFO transmits on it too; FT then sets split.
        const int tx = s.split ? 1 - s.vfo : s.vfo;
        if (read) {
            return code + format("%lld;", code == "FR" ? s.vfo : tx);
        }
        s.split = code == "FT" && arg[0] - '0' != s.vfo;
        s.vfo = code == "FR" ? arg[0] - '0' : s.vfo;
        return {};
    }
    if (code == "MD" || code == "DA") {
        const KenwoodMode& now = kenwoodMode(mode);
        if (read) {
            return code == "MD" ? std::string("MD") + now.digit + ';' : format("DA%lld;", now.data);
        }
        const bool set = code == "MD" ? arg.size() == 1 && setMode(mode, arg[0], now.data)
                                      : flag && setMode(mode, now.digit, arg == "1");
        if (set) {
            changed = s.vfo;
            return {};
        }
    }
    if (code == "IF" && read) {
        return statusAnswer(s);
    }
    if ((code == "RT" || code == "XT") && (read || flag)) {
        if (read) {
            return code + (code == "RT" && s.rit ? "1;" : "0;");
        }
        s.rit = code == "RT" ? arg == "1" : s.rit;
        return {};
    }
    if ((code == "RU" || code == "RD") && digits(arg, 5)) {
        const int hz = std::atoi(arg.c_str());
        s.ritOffset = std::clamp(s.ritOffset + (code == "RU" ? hz : -hz), -9999, 9999);
        return {};
    }
    if ((code == "TX" || code == "RX") && read) {
        s.ptt = code == "TX";
        return {};
    }
    if (code == "AI" && flag) {
        return {};
    }
    // The keyer's speed, which Hamlib 4.7 reads as it opens the radio.
    if (code == "KS" && (read || digits(arg, 3))) {
        return read ? "KS025;" : std::string();
    }
    return "?;";
}

}  // namespace

KenwoodEmulator::KenwoodEmulator()
    : RadioEmulator(semicolonFramed(this, [this](const std::string& command, int& changed) {
          return execute(state_, command, changed);
      })) {}

}  // namespace OmniRig::Testing
