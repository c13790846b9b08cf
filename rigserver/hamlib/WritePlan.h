#pragma once
// Turns the client's queued writes into the commands the radio receives. Writes keep their
// order; a write that would leave the radio as it is (a frequency or mode that VFO already has,
// a split or RIT state already in force) is dropped, and a VFO switch is only made for a write
// that needs it, so a switch there and back with nothing effective in between sends nothing.
// Where the model can address a VFO directly, its frequency or mode is written without a switch.

#include <cstdint>
#include <vector>

#include "RigState.h"

namespace OmniRig {

struct RadioOp {
    enum class Kind { SelectVfo, Frequency, Mode, Split, Rit };
    Kind kind;
    int32_t value;
    int32_t vfo;            // the VFO selected (SelectVfo) or acted on
    bool targeted = false;  // addressed to `vfo` directly rather than to the current VFO

    bool operator==(const RadioOp&) const = default;
};

struct Targeting {
    bool frequency = false;
    bool mode = false;
};

// `radio` is what the radio reported at its last poll, with the writes made since.
std::vector<RadioOp> planWrites(const RigState& radio, const std::vector<RigWrite>& writes,
                                Targeting targeting);

}  // namespace OmniRig
