#pragma once
// Turns the client's queued writes into the commands the radio receives. Writes keep their
// order; a write that would leave the radio as it is (a frequency or mode that VFO already has,
// a split or RIT state already in force) is dropped, and a VFO switch is only made for a write
// that needs it, so a switch there and back with nothing effective in between sends nothing.
// Every frequency and mode is written to the VFO the radio is on, after an explicit switch:
// backends that address a VFO directly add switches of their own, or act on another VFO.

#include <cstdint>
#include <vector>

#include "RigState.h"

namespace OmniRig {

struct RadioOp {
    enum class Kind { SelectVfo, Frequency, Mode, Split, Rit };
    Kind kind;
    int32_t value;
    int32_t vfo;  // the VFO selected (SelectVfo) or acted on, which is then the radio's current

    bool operator==(const RadioOp&) const = default;
};

// `radio` is what the radio reported at its last poll, with the writes made since; a frequency
// or mode of 0 is not known. Unless the link reads the VFO not in use directly
// (`readsOtherVfo`), a switch to a VFO whose frequency or mode is not known is always made, so
// that it is read while the radio is there.
std::vector<RadioOp> planWrites(const RigState& radio, const std::vector<RigWrite>& writes,
                                bool readsOtherVfo);

}  // namespace OmniRig
