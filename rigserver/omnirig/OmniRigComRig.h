#pragma once
// A rig object of the automation server, called by property name.

#include <memory>

#include "LateBoundObject.h"
#include "OmniRig_TLB.h"

namespace OmniRig {

class OmniRigComRig : public IRigX, public std::enable_shared_from_this<OmniRigComRig> {
public:
    explicit OmniRigComRig(ComRef<IDispatch> rig) : rig_(std::move(rig)) {}

    RigResult get_TypeText(std::string& value) override;
    RigResult get_StatusCode(int32_t& value) override;
    RigResult get_StatusText(std::string& value) override;
    RigResult get_Frequency(int32_t& value) override;
    RigResult set_Frequency(int32_t value) override;
    RigResult get_FrequencyA(int32_t& value) override;
    RigResult get_FrequencyB(int32_t& value) override;
    RigResult set_VfoBits(int32_t value) override;
    RigResult get_SplitBits(int32_t& value) override;
    RigResult set_SplitBits(int32_t value) override;
    RigResult set_RitBits(int32_t value) override;
    RigResult get_ModeBits(int32_t& value) override;
    RigResult set_ModeBits(int32_t value) override;

private:
    LateBoundObject rig_;
};

}  // namespace OmniRig
