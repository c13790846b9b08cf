#include "WritePlan.h"

namespace OmniRig {

std::vector<RadioOp> planWrites(const RigState& radio, const std::vector<RigWrite>& writes,
                                const RigAbilities& abilities) {
    std::vector<RadioOp> ops;
    // What the radio will be after the commands so far: a later write is compared with that,
    // not with the poll, so "7.1 MHz, then back to 7.0" still reaches the radio.
    RigState after = radio;
    int32_t radioVfo = radio.vfo;  // 0 while not known
    int32_t wantedVfo = radio.vfo;

    auto select = [&](int32_t vfo) {
        if (abilities.selectsVfo && vfo != radioVfo) {
            ops.push_back({RadioOp::Kind::SelectVfo, vfo, vfo});
            radioVfo = vfo;
            after.vfo = vfo;
        }
    };

    for (const RigWrite& w : writes) {
        if (abilities.refusal(w, radio.vfo)) {
            continue;
        }
        switch (w.kind) {
            case RigWrite::Kind::Vfo: {
                wantedVfo = w.value;
                const size_t i = RigState::index(w.value);
                if (!abilities.readsOtherVfo() && (after.freq[i] == 0 || after.mode[i] == 0)) {
                    select(w.value);
                }
                break;
            }
            case RigWrite::Kind::Frequency:
            case RigWrite::Kind::Mode: {
                const bool frequency = w.kind == RigWrite::Kind::Frequency;
                int32_t& known = (frequency ? after.freq : after.mode)[RigState::index(w.vfo)];
                if (known == w.value) {
                    break;
                }
                known = w.value;
                const bool named = abilities.writesOtherVfo && radioVfo != 0 && w.vfo != radioVfo;
                if (!named) {
                    select(w.vfo);
                }
                ops.push_back({frequency ? RadioOp::Kind::Frequency : RadioOp::Kind::Mode, w.value,
                               w.vfo, named});
                break;
            }
            case RigWrite::Kind::Split:
            case RigWrite::Kind::Rit: {
                const bool split = w.kind == RigWrite::Kind::Split;
                int32_t& known = split ? after.split : after.rit;
                const bool writable = split
                                          ? abilities.writesSplit
                                          : abilities.writesRitSwitch || abilities.writesRitOffset;
                if (known == w.value || !writable) {
                    break;
                }
                known = w.value;
                // Both act on the VFO the client had selected when it wrote them.
                select(w.vfo);
                ops.push_back({split ? RadioOp::Kind::Split : RadioOp::Kind::Rit, w.value, w.vfo});
                break;
            }
        }
    }
    if (wantedVfo != 0) {
        select(wantedVfo);
    }
    return ops;
}

}  // namespace OmniRig
