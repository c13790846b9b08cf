#pragma once
// An Icom IC-7300 on a pseudo-terminal, at CI-V address 0x94: binary frames FE FE to from
// command [data] FD. Every frame is echoed back first, as on a CI-V bus; then a set gets FB
// (accepted) or FA (refused), a read gets its value.

#include "RadioEmulator.h"

namespace OmniRig::Testing {

class IcomEmulator : public RadioEmulator {
public:
    IcomEmulator();
};

}  // namespace OmniRig::Testing
