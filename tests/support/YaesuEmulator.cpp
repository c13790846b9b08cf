#include "YaesuEmulator.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace OmniRig::Testing {

namespace {

// The MD character of each mode, in RadioMode's order; CW and RTTY are the radio's CW-U and
// RTTY-LSB, as Hamlib maps them.
constexpr std::string_view kModeCodes = "12375469C8A";

char modeCode(RadioMode mode) {
    return kModeCodes[static_cast<size_t>(mode)];
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

// One command without its ';'. Only what Hamlib's backend sends for the program's calls is
// known; the rest gets "?;", as the radio answers what it does not know.
std::string execute(RadioState& s, const std::string& command, int& changed) {
    const std::string code = command.substr(0, 2);
    const std::string arg = command.substr(std::min<size_t>(2, command.size()));
    const bool read = arg.empty();
    if (command == "ID" || command == "PS" || command.starts_with("AI")) {
        return command == "ID" ? "ID0650;" : command == "PS" ? "PS1;" : read ? "AI0;" : "";
    }
    if (code == "FA" || code == "FB") {
        const auto vfo = static_cast<size_t>(code == "FB");
        if (read) {
            return code + format("%09lld;", s.hz[vfo]);
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
        const size_t m = kModeCodes.find(command[3]);
        if (m != std::string_view::npos) {
            mode = static_cast<RadioMode>(m);
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
    // Settings Hamlib reads and writes around its calls that no test looks at: the filter's width,
    // the narrow filter and the keyer's speed.
    for (const auto& [name, answer] :
         {std::pair{"SH0", "SH0000;"}, {"NA0", "NA00;"}, {"KS", "KS025;"}}) {
        if (command.starts_with(name)) {
            return command == name ? answer : "";
        }
    }
    return "?;";
}

}  // namespace

YaesuEmulator::YaesuEmulator()
    : RadioEmulator(semicolonFramed(this, [this](const std::string& command, int& changed) {
          return execute(state_, command, changed);
      })) {}

}  // namespace OmniRig::Testing
