#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "RigResult.h"

namespace OmniRig {

// A failure code from the rig server, with its description where the server supplied one.
class RigServerError : public std::runtime_error {
public:
    RigServerError(int32_t code, const std::string& description);
    explicit RigServerError(const RigResult& result)
        : RigServerError(result.code, result.description) {}

    int32_t code() const { return code_; }
    const std::string& description() const { return description_; }

private:
    int32_t code_;
    std::string description_;
};

// Raises RigServerError when the result is a failure.
void check(const RigResult& result);

}  // namespace OmniRig
