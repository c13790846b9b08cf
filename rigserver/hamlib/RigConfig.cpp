#include "RigConfig.h"

#include <charconv>
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

// The key's number within [low, high]; a missing key keeps `value`. Records the first problem.
void readNumber(const IniFile& settings, const std::string& section, const std::string& key,
                long long low, long long high, int& value, std::string& problem) {
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
        value = static_cast<int>(*number);
    }
}

// Whether the key already says `wanted`: the same number, or the same text; a missing or empty
// key says what it stands for by default.
bool holds(const IniFile& settings, const std::string& section, const std::string& key,
           const std::string& wanted, const std::string& byDefault) {
    const std::string text = settings.ReadString(section, key, "");
    if (text.empty()) {
        return wanted == byDefault;
    }
    const auto number = wholeNumber(text);
    return number && !wanted.empty() ? *number == wholeNumber(wanted) : text == wanted;
}

}  // namespace

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
    return config;
}

void RigConfig::write(IniFile& settings, int rigNumber) const {
    const std::string section = sectionName(rigNumber);
    auto put = [&](const std::string& key, const std::string& value, const std::string& byDefault) {
        if (!holds(settings, section, key, value, byDefault)) {
            settings.WriteString(section, key, value);
        }
    };
    RigConfig plain = *this;
    plain.problem.clear();
    if (!settings.SectionExists(section) && plain == RigConfig{}) {
        return;  // no section is the Dummy with the defaults already
    }
    // MODEL has no default inside a section, so a new section always gets it.
    put("MODEL", std::to_string(model), "");
    if (model == 0) {
        return;
    }
    put("PORT", port, "");
    put("SPEED", speed > 0 ? std::to_string(speed) : "", "");
    put("POLL", std::to_string(pollMs), std::to_string(kDefaultPollMs));
}

}  // namespace OmniRig
