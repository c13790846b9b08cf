#include "InputCheck.h"

#include <charconv>
#include <filesystem>

#include "RigConfig.h"
#include "Transverter.h"

namespace OmniRig {

namespace {

const std::string kExample = "127.0.0.1:" + std::to_string(InputCheck::kRigctldPort);

template <typename Number>
bool number(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

}  // namespace

std::string InputCheck::port(HamlibLibrary::PortKind kind, const std::string& text) {
    switch (kind) {
        case HamlibLibrary::PortKind::Network:
            return networkPort(text);
        case HamlibLibrary::PortKind::Serial:
            return serialDevice(text);
        default:
            return {};
    }
}

std::string InputCheck::networkPort(const std::string& text) {
    // An IPv6 address stands in brackets, as in [::1]:4532.
    const size_t hostEnd = text.starts_with('[') ? text.find(']') : text.rfind(':');
    const size_t colon = hostEnd == std::string::npos ? std::string::npos : text.find(':', hostEnd);
    if (colon == std::string::npos || colon + 1 == text.size()) {
        return "Give the port after the host, as in " + kExample;
    }
    if (colon == 0 || text.substr(0, colon) == "[]") {
        return "Give the host before the port, as in " + kExample;
    }
    int port = 0;
    if (!number(text.substr(colon + 1), port) || port < 1 || port > 65535) {
        return "The port must be a number from 1 to 65535";
    }
    return {};
}

std::string InputCheck::serialDevice(const std::string& text) {
    if (text.empty()) {
        return "Choose the serial device the radio is on";
    }
    std::error_code ec;
    const auto status = std::filesystem::status(text, ec);
    if (!std::filesystem::exists(status)) {
        return "No serial device at " + text;
    }
    if (!std::filesystem::is_character_file(status)) {
        return text + " is not a serial device";
    }
    return {};
}

std::string InputCheck::share(const std::string& text) {
    if (text.empty() || RigConfig::shareEndpoint(text)) {
        return {};
    }
    return "Share on a port (1 to 65535) or address:port, such as 4532 or 127.0.0.1:4532";
}

std::string InputCheck::poll(const std::string& text, int& pollMs) {
    int value = 0;
    if (!number(text, value) || value < RigConfig::kMinPollMs || value > RigConfig::kMaxPollMs) {
        return "The poll interval must be " + std::to_string(RigConfig::kMinPollMs) + " to " +
               std::to_string(RigConfig::kMaxPollMs) + " ms";
    }
    pollMs = value;
    return {};
}

std::string InputCheck::lo(const std::string& text, int model, bool inverted, int64_t& lo) {
    int64_t value = 0;
    if (!number(text, value)) {
        return "The LO offset must be a whole number of Hz";
    }
    const auto range = Transverter::loRange(model, inverted);
    if (value < range.low || value > range.high) {
        return std::string(inverted ? "Inverted, with this model" : "With this model") +
               " the LO offset must be " + std::to_string(range.low) + " to " +
               std::to_string(range.high) + " Hz";
    }
    lo = value;
    return {};
}

}  // namespace OmniRig
