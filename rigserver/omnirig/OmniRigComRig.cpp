#include "OmniRigComRig.h"

namespace OmniRig {

// Each call keeps this object alive: an event handler running inside the call may drop the last
// reference to it.

RigResult OmniRigComRig::get_TypeText(std::string& value) {
    auto self = shared_from_this();
    return rig_.getText(L"TypeText", value);
}

RigResult OmniRigComRig::get_StatusCode(int32_t& value) {
    auto self = shared_from_this();
    return rig_.getInt(L"StatusCode", value);
}

RigResult OmniRigComRig::get_StatusText(std::string& value) {
    auto self = shared_from_this();
    return rig_.getText(L"StatusText", value);
}

RigResult OmniRigComRig::get_Frequency(int32_t& value) {
    auto self = shared_from_this();
    return rig_.getInt(L"Frequency", value);
}

RigResult OmniRigComRig::set_Frequency(int32_t value) {
    auto self = shared_from_this();
    return rig_.putInt(L"Frequency", value);
}

RigResult OmniRigComRig::get_FrequencyA(int32_t& value) {
    auto self = shared_from_this();
    return rig_.getInt(L"FrequencyA", value);
}

RigResult OmniRigComRig::get_FrequencyB(int32_t& value) {
    auto self = shared_from_this();
    return rig_.getInt(L"FrequencyB", value);
}

RigResult OmniRigComRig::set_VfoBits(int32_t value) {
    auto self = shared_from_this();
    return rig_.putInt(L"VfoBits", value);
}

RigResult OmniRigComRig::get_SplitBits(int32_t& value) {
    auto self = shared_from_this();
    return rig_.getInt(L"SplitBits", value);
}

RigResult OmniRigComRig::set_SplitBits(int32_t value) {
    auto self = shared_from_this();
    return rig_.putInt(L"SplitBits", value);
}

RigResult OmniRigComRig::set_RitBits(int32_t value) {
    auto self = shared_from_this();
    return rig_.putInt(L"RitBits", value);
}

RigResult OmniRigComRig::get_ModeBits(int32_t& value) {
    auto self = shared_from_this();
    return rig_.getInt(L"ModeBits", value);
}

RigResult OmniRigComRig::set_ModeBits(int32_t value) {
    auto self = shared_from_this();
    return rig_.putInt(L"ModeBits", value);
}

}  // namespace OmniRig
