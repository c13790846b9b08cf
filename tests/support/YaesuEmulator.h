#pragma once
// A Yaesu FT-891 on a pseudo-terminal: ASCII CAT commands, each ended by ';'. A set command gets
// no answer, a read gets its value, anything the radio does not understand gets "?;". FA and FB
// always name VFO A and B; IF and MD0 speak of the VFO in use (selectVfo), OI of the other one.

#include "RadioEmulator.h"

namespace OmniRig::Testing {

class YaesuEmulator : public RadioEmulator {
public:
    YaesuEmulator();
};

}  // namespace OmniRig::Testing
