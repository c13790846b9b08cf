#include "YaesuEmulator.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace OmniRig::Testing {

namespace {

// The MD character of each mode; CW and RTTY are the radio's CW-U and RTTY-LSB, as Hamlib maps
// them.
struct YaesuMode {
    RadioMode mode;
    char code;
};
constexpr YaesuMode kModes[] = {
    {RadioMode::LSB, '1'},   {RadioMode::USB, '2'},    {RadioMode::CW, '3'},
    {RadioMode::FM, '4'},    {RadioMode::AM, '5'},     {RadioMode::RTTY, '6'},
    {RadioMode::CWR, '7'},   {RadioMode::PKTLSB, '8'}, {RadioMode::RTTYR, '9'},
    {RadioMode::PKTFM, 'A'}, {RadioMode::PKTUSB, 'C'},
};

char modeCode(RadioMode mode) {
    return std::find_if(std::begin(kModes), std::end(kModes),
                        [mode](const YaesuMode& m) { return m.mode == mode; })
        ->code;
}

bool digits(const std::string& text, size_t count) {
    return text.size() == count &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// IF tells of the VFO in use, OI of the other one: memory channel (3), frequency (9), clarifier
// offset (5), RX and TX clarifier, mode, VFO or memory, tone, two fixed zeros, shift.
std::string statusAnswer(const RadioState& s, const std::string& code) {
    char buffer[64];
    const auto vfo = static_cast<size_t>(code == "IF" ? s.vfo : 1 - s.vfo);
    std::snprintf(buffer, sizeof buffer, "%s000%09lld%+05d%d0%c00000;", code.c_str(),
                  static_cast<long long>(s.hz[vfo]), s.ritOffset, s.rit, modeCode(s.mode[vfo]));
    return buffer;
}

// Settings Hamlib reads and writes around its calls that no test looks at, each held as the
// digits that follow its name: filter width, narrow filter, keyer speed.
using Settings = std::map<std::string, std::string>;

// One command without its ';'. Only what Hamlib's backend sends for the program's calls is
// known; the rest gets "?;", as the radio answers what it does not know.
std::string execute(RadioState& s, Settings& settings, const std::string& command, int& changed) {
    const std::string code = command.substr(0, 2);
    const std::string arg = command.substr(std::min<size_t>(2, command.size()));
    const bool read = arg.empty();
    if (read && (code == "ID" || code == "PS" || code == "AI")) {
        return code == "ID" ? "ID0650;" : code == "PS" ? "PS1;" : "AI0;";
    }
    if (code == "FA" || code == "FB") {
        const auto vfo = static_cast<size_t>(code == "FB");
        if (read) {
            char buffer[16];
            std::snprintf(buffer, sizeof buffer, "%09lld;", static_cast<long long>(s.hz[vfo]));
            return code + buffer;
        }
        if (digits(arg, 9)) {
            s.hz[vfo] = std::atoll(arg.c_str());
            changed = static_cast<int>(vfo);
            return {};
        }
    }
    // MD0 is the mode of the VFO in use, the only receiver this radio has.
    if (command.starts_with("MD0") && command.size() <= 4) {
        RadioMode& mode = s.mode[static_cast<size_t>(s.vfo)];
        if (command.size() == 3) {
            return std::string("MD0") + modeCode(mode) + ';';
        }
        const auto m = std::find_if(std::begin(kModes), std::end(kModes),
                                    [&](const YaesuMode& y) { return y.code == command[3]; });
        if (m != std::end(kModes)) {
            mode = m->mode;
            changed = s.vfo;
            return {};
        }
    }
    if (command == "AB") {
        // VFO A copied to B, frequency and mode alike, as the radio's A>B key does.
        s.hz[1] = s.hz[0];
        s.mode[1] = s.mode[0];
        changed = 1;
        return {};
    }
    if ((code == "IF" || code == "OI") && read) {
        return statusAnswer(s, code);
    }
    if ((code == "ST" || code == "TX") && (read || arg == "0" || arg == "1")) {
        bool& on = code == "ST" ? s.split : s.ptt;
        if (read) {
            return code + (on ? "1;" : "0;");
        }
        on = arg == "1";
        return {};
    }
    if (command == "AI0") {
        return {};
    }
    for (auto& [name, value] : settings) {
        if (command == name) {
            return name + value + ';';
        }
        if (command.starts_with(name) && digits(command.substr(name.size()), value.size())) {
            value = command.substr(name.size());
            return {};
        }
    }
    return "?;";
}

}  // namespace

YaesuEmulator::YaesuEmulator()
    : RadioEmulator(semicolonFramed(
          this, [this, settings = Settings{{"SH0", "000"}, {"NA0", "0"}, {"KS", "025"}}](
                    const std::string& command, int& changed) mutable {
              return execute(state_, settings, command, changed);
          })) {}

}  // namespace OmniRig::Testing
