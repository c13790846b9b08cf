#pragma once
// What one radio can do, decided once when its link opens from what Hamlib tells of the model and
// what the open learnt (a network server's answer). The write plan, the poll and the rig object
// ask it; nothing else tests a model, a maker or a peer. A read the radio keeps failing is set
// aside here, and a function a radio refuses as missing is taken away here.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "HamlibInternals.h"
#include "RigState.h"

namespace OmniRig {

struct RigAbilities {
    // The reads a poll makes beside the current frequency, each set aside once it keeps failing.
    enum class Read { Vfo, OtherFrequency, Mode, OtherMode, Split, Rit, Ptt, Count };

    // Switches the VFO it receives on.
    bool selectsVfo = true;
    // Writes the frequency and mode of the VFO it is not on, without a switch.
    bool writesOtherVfo = false;
    bool writesFrequency = true;
    bool writesMode = true;
    bool writesSplit = true;
    // RIT is a switch of its own; without it, RIT off is a zero offset and on cannot be made.
    bool writesRitSwitch = false;
    bool writesRitOffset = true;
    bool readsRitSwitch = false;
    // The Hamlib modes the radio has; 0 when not known.
    uint64_t modes = 0;
    // A receiver program on the network (gqrx and its like): one VFO, and the width of a mode
    // write is its passband itself, where Hamlib's "keep the passband" would close its filter. A
    // mode it has is then left alone, and a new one written with its normal passband.
    bool modeWidthIsPassband = false;
    // Reached through a server that other programs use too: a while without an answer may be
    // another client's long command, not a lost link.
    bool network = false;

    static RigAbilities of(const HamlibFacts& facts);

    bool reads(Read read) const { return reads_[static_cast<size_t>(read)]; }
    void setAside(Read read) { reads_[static_cast<size_t>(read)] = false; }
    // The VFO not in use is read directly, without a switch.
    bool readsOtherVfo() const { return reads(Read::OtherFrequency); }

    // Why the radio cannot carry out the write, with `radioVfo` the VFO it is on (0 when not
    // known); nothing when it can. A switch is never refused: one that cannot be made leaves the
    // radio where it is, and only a write meant for the other VFO is refused.
    std::optional<std::string> refusal(const RigWrite& write, int32_t radioVfo) const;

    bool operator==(const RigAbilities&) const = default;

private:
    std::array<bool, static_cast<size_t>(Read::Count)> reads_{};
};

}  // namespace OmniRig
