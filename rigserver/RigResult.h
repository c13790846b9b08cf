#pragma once
// The status code every rig server operation returns, with the server's description of a failure.

#include <cstdint>
#include <string>

namespace OmniRig {

// Codes in the automation runtime's convention: negative means failure.
inline constexpr int32_t S_SUCCESS = 0;
inline constexpr int32_t E_NOT_IMPLEMENTED = static_cast<int32_t>(0x80004001u);
inline constexpr int32_t E_FAILURE = static_cast<int32_t>(0x80004005u);
inline constexpr int32_t E_UNEXPECTED_CALL = static_cast<int32_t>(0x8000FFFFu);
inline constexpr int32_t E_INVALID_ARGUMENT = static_cast<int32_t>(0x80070057u);
inline constexpr int32_t E_TYPE_MISMATCH = static_cast<int32_t>(0x80020005u);
inline constexpr int32_t E_CLASS_NOT_REGISTERED = static_cast<int32_t>(0x80040154u);
inline constexpr int32_t E_NO_CONNECTION = static_cast<int32_t>(0x80040200u);

struct RigResult {
    int32_t code = S_SUCCESS;
    std::string description;

    bool failed() const { return code < 0; }
    static RigResult ok() { return {}; }
    static RigResult fail(int32_t failureCode, std::string text = {}) {
        return {failureCode, std::move(text)};
    }
};

}  // namespace OmniRig
