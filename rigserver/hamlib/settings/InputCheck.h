#pragma once
// What is wrong with a rig setting as the operator typed it, in words for the field's message;
// empty when nothing is.

#include <string>

#include "HamlibLibrary.h"

namespace OmniRig {

class InputCheck {
public:
    static constexpr int kRigctldPort = 4532;

    static std::string port(HamlibLibrary::PortKind kind, const std::string& text);
    // Sets pollMs when the text is a poll interval the rig server takes.
    static std::string poll(const std::string& text, int& pollMs);

private:
    static std::string networkPort(const std::string& text);
    static std::string serialDevice(const std::string& text);
};

}  // namespace OmniRig
