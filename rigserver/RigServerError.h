#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "RigResult.h"

namespace OmniRig {

// A failure code from the rig server, with its description where the server supplied one.
class RigServerError : public std::runtime_error {
public:
    // `rig` is the number of the rig whose call failed; 0 for a call of the rig server's own.
    RigServerError(int32_t code, const std::string& description, int32_t rig = 0);
    explicit RigServerError(const RigResult& result, int32_t rig = 0)
        : RigServerError(result.code, result.description, rig) {}

    int32_t code() const { return code_; }
    int32_t rig() const { return rig_; }
    const std::string& description() const { return description_; }

private:
    int32_t code_;
    std::string description_;
    int32_t rig_;
};

// Raises RigServerError when the result is a failure.
void check(const RigResult& result, int32_t rig = 0);

}  // namespace OmniRig
