#include "RigConfig.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <optional>

#include "HamlibLibrary.h"
#include "IniFile.h"

namespace OmniRig {

namespace {

// A whole decimal number and nothing else; nothing for any other text.
std::optional<long long> wholeNumber(const std::string& text) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

// TRUE or FALSE, without regard to case; YES and NO, ON and OFF, 1 and 0 as well.
std::optional<bool> flag(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (text == "TRUE" || text == "YES" || text == "ON" || text == "1") {
        return true;
    }
    if (text == "FALSE" || text == "NO" || text == "OFF" || text == "0") {
        return false;
    }
    return std::nullopt;
}

// The key's number within [low, high]; a missing key keeps `value`. Records the first problem.
template <typename Number>
void readNumber(const IniFile& settings, const std::string& section, const std::string& key,
                long long low, long long high, Number& value, std::string& problem) {
    const std::string text = settings.ReadString(section, key, "");
    if (text.empty() || !problem.empty()) {
        return;
    }
    const auto number = wholeNumber(text);
    if (!number) {
        problem = key + " is not a number: " + text;
    } else if (*number < low || *number > high) {
        problem = key + " is out of range (" + std::to_string(low) + ".." + std::to_string(high) +
                  "): " + text;
    } else {
        value = static_cast<Number>(*number);
    }
}

void readFlag(const IniFile& settings, const std::string& section, const std::string& key,
              bool& value, std::string& problem) {
    const std::string text = settings.ReadString(section, key, "");
    if (text.empty() || !problem.empty()) {
        return;
    }
    const auto on = flag(text);
    if (!on) {
        problem = key + " is not TRUE or FALSE: " + text;
    } else {
        value = *on;
    }
}

// Whether the key already says `wanted`: the same number, the same TRUE or FALSE, or the same
// text; a missing or empty key says what it stands for by default.
bool holds(const IniFile& settings, const std::string& section, const std::string& key,
           const std::string& wanted, const std::string& byDefault) {
    const std::string text = settings.ReadString(section, key, "");
    if (text.empty()) {
        return wanted == byDefault;
    }
    if (wanted == "TRUE" || wanted == "FALSE") {
        return flag(text) == flag(wanted);
    }
    const auto number = wholeNumber(text);
    return number && !wanted.empty() ? *number == wholeNumber(wanted) : text == wanted;
}

}  // namespace

std::optional<std::pair<std::string, uint16_t>> RigConfig::shareEndpoint(const std::string& share) {
    const auto colon = share.rfind(':');
    const std::string address = colon == std::string::npos ? "127.0.0.1" : share.substr(0, colon);
    const auto port = wholeNumber(colon == std::string::npos ? share : share.substr(colon + 1));
    in_addr parsed{};
    if (!port || *port < 1 || *port > 65535 ||
        ::inet_pton(AF_INET, address.c_str(), &parsed) != 1) {
        return std::nullopt;
    }
    return std::pair{address, static_cast<uint16_t>(*port)};
}

std::string RigConfig::sectionName(int rigNumber) {
    return "RIG" + std::to_string(rigNumber);
}

std::string RigConfig::typeText() const {
    if (!configured()) {
        return "NONE";
    }
    return HamlibLibrary::modelName(model).value_or("NONE");
}

RigConfig RigConfig::read(const IniFile& settings, int rigNumber) {
    RigConfig config;
    const std::string section = sectionName(rigNumber);
    if (!settings.SectionExists(section)) {
        return config;
    }
    if (settings.ReadString(section, "MODEL", "").empty()) {
        config.problem = "MODEL is missing";
        return config;
    }
    readNumber(settings, section, "MODEL", 0, 1'000'000'000, config.model, config.problem);
    readNumber(settings, section, "SPEED", 1, 10'000'000, config.speed, config.problem);
    readNumber(settings, section, "POLL", kMinPollMs, kMaxPollMs, config.pollMs, config.problem);
    config.port = settings.ReadString(section, "PORT", "");
    if (config.problem.empty() && config.model != 0 && !HamlibLibrary::modelName(config.model)) {
        config.problem = "unknown model " + std::to_string(config.model);
    }
    if (config.model == 0) {
        return config;
    }
    config.share = settings.ReadString(section, "SHARE", "");
    if (config.problem.empty() && config.shared()) {
        const auto model = HamlibLibrary::model(config.model);
        if (!shareEndpoint(config.share)) {
            config.problem = "SHARE is not a port or address:port: " + config.share;
        } else if (model && model->port == HamlibLibrary::PortKind::Network) {
            // Its own server shares it already.
            config.problem =
                "SHARE is for a radio the rig server opens itself, not one over "
                "the network";
        }
    }
    Transverter& transverter = config.transverter;
    readFlag(settings, section, "LO_INVERTED", transverter.inverted, config.problem);
    readNumber(settings, section, "LO", std::numeric_limits<long long>::min(),
               std::numeric_limits<long long>::max(), transverter.lo, config.problem);
    // Checked even without the key: an inverting mixer's LO lies above the radio, never at 0.
    const auto lo = Transverter::loRange(config.model, transverter.inverted);
    if (config.problem.empty() && (transverter.lo < lo.low || transverter.lo > lo.high)) {
        config.problem = "LO is out of range (" + std::to_string(lo.low) + ".." +
                         std::to_string(lo.high) +
                         (transverter.inverted ? " with LO_INVERTED" : "") +
                         "): " + std::to_string(transverter.lo);
    }
    return config;
}

IniFile::Entries RigConfig::changes(const IniFile& settings, int rigNumber) const {
    const std::string section = sectionName(rigNumber);
    IniFile::Entries entries;
    auto put = [&](const std::string& key, const std::string& value, const std::string& byDefault) {
        if (!holds(settings, section, key, value, byDefault)) {
            entries.emplace_back(key, value);
        }
    };
    RigConfig plain = *this;
    plain.problem.clear();
    if (!settings.SectionExists(section) && plain == RigConfig{}) {
        return entries;  // no section is the Dummy with the defaults already
    }
    // MODEL has no default inside a section, so a new section always gets it.
    put("MODEL", std::to_string(model), "");
    if (model == 0) {
        return entries;
    }
    // A key that goes back to its default is left empty rather than taken out, so that the
    // line, and every byte around it, stays where the operator put it.
    put("PORT", port, "");
    put("SPEED", speed > 0 ? std::to_string(speed) : "", "");
    put("POLL", std::to_string(pollMs), std::to_string(kDefaultPollMs));
    put("SHARE", share, "");
    put("LO", std::to_string(transverter.lo), "0");
    put("LO_INVERTED", transverter.inverted ? "TRUE" : "FALSE", "FALSE");
    return entries;
}

void RigConfig::write(IniFile& settings, int rigNumber) const {
    settings.WriteStrings(sectionName(rigNumber), changes(settings, rigNumber));
}

}  // namespace OmniRig
