#pragma once
// What is wrong with a rig setting as the operator typed it, in words for the field's message;
// empty when nothing is.

#include <cstdint>
#include <string>

#include "HamlibLibrary.h"

namespace OmniRig {

class InputCheck {
public:
    static constexpr int kRigctldPort = 4532;

    static std::string port(HamlibLibrary::PortKind kind, const std::string& text);
    // Sets pollMs when the text is a poll interval the rig server takes.
    static std::string poll(const std::string& text, int& pollMs);
    // Sets lo when the text is an LO offset in Hz that gives the model's radio on-air
    // frequencies the rig objects can carry.
    // Nothing for an empty text (not shared), a port or address:port.
    static std::string share(const std::string& text);
    static std::string lo(const std::string& text, int model, bool inverted, int64_t& lo);

private:
    static std::string networkPort(const std::string& text);
    static std::string serialDevice(const std::string& text);
};

}  // namespace OmniRig
