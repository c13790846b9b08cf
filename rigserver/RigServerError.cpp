#include "RigServerError.h"

#include <cstdio>

namespace OmniRig {

namespace {

std::string messageFor(int32_t code, const std::string& description) {
    if (!description.empty()) {
        return description;
    }
    char text[64];
    std::snprintf(text, sizeof text, "Rig server call failed (code 0x%08X)",
                  static_cast<unsigned>(code));
    return text;
}

}  // namespace

RigServerError::RigServerError(int32_t code, const std::string& description, int32_t rig)
    : std::runtime_error(messageFor(code, description)),
      code_(code),
      description_(description),
      rig_(rig) {}

void check(const RigResult& result, int32_t rig) {
    if (result.failed()) {
        throw RigServerError(result, rig);
    }
}

}  // namespace OmniRig
