#pragma once
// Turns the client's queued writes into the commands the radio receives, as the radio's
// abilities allow. Writes keep their order; a write that would leave the radio as it is (a
// frequency or mode that VFO already has, a split or RIT state already in force) is dropped, and
// a VFO switch is only made for a write that needs it, so a switch there and back with nothing
// effective in between sends nothing. A write for the VFO the radio is not on goes to that VFO by
// name where the radio takes that, else after an explicit switch there; a radio that cannot
// switch takes writes on its current VFO only, and a write it cannot carry out is left out (the
// rig object has refused it with the reason already).

#include <cstdint>
#include <vector>

#include "RigAbilities.h"
#include "RigState.h"

namespace OmniRig {

struct RadioOp {
    enum class Kind { SelectVfo, Frequency, Mode, Split, Rit };
    Kind kind;
    int32_t value;
    int32_t vfo;  // the VFO selected (SelectVfo) or acted on
    // Addressed by name; otherwise the write acts on the VFO the radio is on.
    bool named = false;

    bool operator==(const RadioOp&) const = default;
};

// `radio` is what the radio reported at its last poll, with the writes made since; a frequency
// or mode of 0 is not known, and so is a VFO of 0 (a switch is then always sent before a write,
// where the radio switches). Unless the radio reads the VFO not in use directly, a switch to a VFO
// whose frequency or mode is not known is always made, so that it is read while the radio is
// there.
std::vector<RadioOp> planWrites(const RigState& radio, const std::vector<RigWrite>& writes,
                                const RigAbilities& abilities);

}  // namespace OmniRig
