#pragma once
// A rig's link status as the rig object reports it: a code and a text that starts with one of
// the phrases the window looks for, a reason possibly following after a colon.

#include <cstdint>
#include <string>

namespace OmniRig {

inline constexpr int32_t ST_NOTCONFIGURED = 0;
inline constexpr int32_t ST_DISABLED = 1;
inline constexpr int32_t ST_PORTBUSY = 2;
inline constexpr int32_t ST_NOTRESPONDING = 3;
// ST_ONLINE (4) is in ParamBits.h.

struct RigStatus {
    int32_t code = ST_NOTRESPONDING;
    std::string text = "Rig is not responding";

    // `note` follows after a comma: "On-line, shared on 127.0.0.1:4532".
    static RigStatus online(const std::string& note = {}) {
        return {4, note.empty() ? "On-line" : "On-line, " + note};
    }
    static RigStatus notConfigured(const std::string& reason = {}) {
        return {ST_NOTCONFIGURED, withReason("Rig is not configured", reason)};
    }
    static RigStatus portNotAvailable(const std::string& reason = {}) {
        return {ST_PORTBUSY, withReason("Port is not available", reason)};
    }
    static RigStatus notResponding(const std::string& reason = {}) {
        return {ST_NOTRESPONDING, withReason("Rig is not responding", reason)};
    }

    bool operator==(const RigStatus&) const = default;

private:
    static std::string withReason(const std::string& phrase, const std::string& reason) {
        return reason.empty() ? phrase : phrase + ": " + reason;
    }
};

}  // namespace OmniRig
