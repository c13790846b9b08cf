#include "RigObject.h"

#include "RigServerError.h"

namespace OmniRig {

namespace {

template <typename T, typename Getter>
T read(IRigX& rig, int32_t number, Getter getter) {
    T value{};
    check((rig.*getter)(value), number);
    return value;
}

}  // namespace

RigObject::RigObject(std::shared_ptr<IRigX> rig, int32_t number)
    : rig_(std::move(rig)), number_(number) {
    if (!rig_) {
        throw RigServerError(E_UNEXPECTED_CALL, "The rig server returned no rig object");
    }
}

std::string RigObject::TypeText() const {
    return read<std::string>(*rig_, number_, &IRigX::get_TypeText);
}
int32_t RigObject::StatusCode() const {
    return read<int32_t>(*rig_, number_, &IRigX::get_StatusCode);
}
std::string RigObject::StatusText() const {
    return read<std::string>(*rig_, number_, &IRigX::get_StatusText);
}
int32_t RigObject::Frequency() const {
    return read<int32_t>(*rig_, number_, &IRigX::get_Frequency);
}
void RigObject::SetFrequency(int32_t hertz) const {
    check(rig_->set_Frequency(hertz));
}
int32_t RigObject::FrequencyA() const {
    return read<int32_t>(*rig_, number_, &IRigX::get_FrequencyA);
}
int32_t RigObject::FrequencyB() const {
    return read<int32_t>(*rig_, number_, &IRigX::get_FrequencyB);
}
void RigObject::SetVfoBits(int32_t vfo) const {
    check(rig_->set_VfoBits(vfo));
}
int32_t RigObject::SplitBits() const {
    return read<int32_t>(*rig_, number_, &IRigX::get_SplitBits);
}
void RigObject::SetSplitBits(int32_t split) const {
    check(rig_->set_SplitBits(split));
}
void RigObject::SetRitBits(int32_t rit) const {
    check(rig_->set_RitBits(rit));
}
int32_t RigObject::ModeBits() const {
    return read<int32_t>(*rig_, number_, &IRigX::get_ModeBits);
}
void RigObject::SetModeBits(int32_t mode) const {
    check(rig_->set_ModeBits(mode));
}

void RigObject::check(const RigResult& result) const {
    OmniRig::check(result, number_);
}

}  // namespace OmniRig
