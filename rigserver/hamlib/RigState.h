#pragma once
// What is known of a rig's parameters, in the contract's bits. Zero means not known (a model
// that lacks the function, a VFO that cannot be read without switching, a mode with no bit).

#include <array>
#include <cstddef>
#include <cstdint>

namespace OmniRig {

// A write as the client made it. All but the VFO switch act on the VFO that was current in the
// client's view at that moment.
struct RigWrite {
    enum class Kind { Vfo, Frequency, Mode, Split, Rit };
    Kind kind;
    int32_t value;
    int32_t vfo;  // VFOA or VFOB: the VFO the write acts on

    bool operator==(const RigWrite&) const = default;
};

struct RigState {
    int32_t vfo = 0;                    // VFOA or VFOB
    std::array<int32_t, 2> freq{0, 0};  // Hz, VFO A and VFO B
    std::array<int32_t, 2> mode{0, 0};  // one mode bit per VFO
    int32_t split = 0;                  // SPLITON or SPLITOFF
    int32_t rit = 0;                    // RITON or RITOFF
    int32_t tx = 0;                     // RX or TX

    // The current VFO; VFO A while it is not known.
    int32_t currentVfo() const;
    int32_t currentFrequency() const { return freq[index(currentVfo())]; }
    int32_t currentMode() const { return mode[index(currentVfo())]; }

    // The state after the write, as the client expects to read it back at once.
    void apply(const RigWrite& write);

    static std::size_t index(int32_t vfo);

    bool operator==(const RigState&) const = default;
};

// The parameter bits that an OnParamsChange event reports for the step from one state to the
// next: the frequency bits, the new VFO, split, RIT and RX/TX values, and the new mode bit (the
// UNKNOWN bit when the new mode has none). Parameters that became unknown are not reported.
int32_t changedParams(const RigState& before, const RigState& after);

}  // namespace OmniRig
