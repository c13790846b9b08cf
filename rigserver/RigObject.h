#pragma once
// A rig object as the program's handlers use it: every call is tested and a failure code raises
// RigServerError, so a handler reads like the steps it performs.

#include <cstdint>
#include <memory>
#include <string>

#include "OmniRig_TLB.h"

namespace OmniRig {

class RigObject {
public:
    // `number` is the rig's number, which the errors of its calls carry.
    explicit RigObject(std::shared_ptr<IRigX> rig, int32_t number = 0);

    int32_t Number() const { return number_; }

    std::string TypeText() const;
    int32_t StatusCode() const;
    std::string StatusText() const;
    int32_t Frequency() const;
    void SetFrequency(int32_t hertz) const;
    int32_t FrequencyA() const;
    int32_t FrequencyB() const;
    void SetVfoBits(int32_t vfo) const;
    int32_t SplitBits() const;
    void SetSplitBits(int32_t split) const;
    void SetRitBits(int32_t rit) const;
    int32_t ModeBits() const;
    void SetModeBits(int32_t mode) const;

private:
    void check(const RigResult& result) const;

    std::shared_ptr<IRigX> rig_;
    int32_t number_;
};

}  // namespace OmniRig
