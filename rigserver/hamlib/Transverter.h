#pragma once
// A transverter or an IF tap in front of a rig. The radio tunes an intermediate frequency; the
// rig object speaks of the frequency on the air: the radio's plus the local oscillator's (LO),
// or the LO's minus the radio's where the mixer inverts, which also turns the sidebands over.
// The rig objects' frequencies are 32-bit: 1 Hz to 2147483647 Hz.

#include <cstdint>

namespace OmniRig {

struct Transverter {
    static constexpr int64_t kHighestHz = INT32_MAX;

    struct Range {
        int64_t low;
        int64_t high;
    };

    int64_t lo = 0;  // Hz
    bool inverted = false;

    static bool fits(int64_t hertz) { return hertz > 0 && hertz <= kHighestHz; }
    // The radio frequencies the model tunes, as far as Hamlib tells; the whole 32-bit range
    // where it does not.
    static Range radioRange(int model);
    // The LOs that give some of the model's radio frequencies an on-air frequency that fits. The
    // rest of its range (beyond the IF, on the far side of the LO) reads as not known, and a
    // write that would need it is refused.
    static Range loRange(int model, bool inverted);

    // The on-air frequency of a radio frequency; 0 (not known) for 0 and where it does not fit.
    int32_t onAir(int32_t radio) const;
    // The radio frequency for an on-air one, which may not fit.
    int64_t radio(int32_t onAir) const { return inverted ? lo - onAir : onAir - lo; }
    // Mode bits, a value or an event's set, across the mixer: where it inverts, USB and LSB,
    // CW and CW-R, DIG and DIG_R trade places, whichever way they go.
    int32_t modes(int32_t bits) const;

    bool operator==(const Transverter&) const = default;
};

}  // namespace OmniRig
