#pragma once
// A Kenwood TS-590S on a pseudo-terminal: ASCII CAT commands, each ended by ';'. A set command
// gets no answer, a read gets its value, anything the radio does not understand gets "?;".

#include "RadioEmulator.h"

namespace OmniRig::Testing {

class KenwoodEmulator : public RadioEmulator {
public:
    KenwoodEmulator();
};

}  // namespace OmniRig::Testing
