#include "RigAbilities.h"

#include "ParamBits.h"

namespace OmniRig {

namespace {

constexpr uint64_t kSecondVfo = RIG_VFO_B | RIG_VFO_SUB | RIG_VFO_MAIN_B | RIG_VFO_SUB_B;

std::string vfoName(int32_t vfo) {
    return vfo == VFOB ? "VFO B" : "VFO A";
}

}  // namespace

RigAbilities RigAbilities::of(const HamlibFacts& facts) {
    RigAbilities a;
    // A list of VFOs without a second one: nothing to switch to, whatever the model offers.
    const bool oneVfo = facts.vfos != 0 && (facts.vfos & kSecondVfo) == 0;
    const bool named = !oneVfo && (!facts.network || facts.passesVfo);
    const bool frequencyByName = named && (facts.targetable & RIG_TARGETABLE_FREQ);
    const bool modeByName = named && (facts.targetable & RIG_TARGETABLE_MODE);

    a.selectsVfo = facts.setVfo && !oneVfo;
    // Hamlib's Icom backends address either VFO by name (CI-V's selected and unselected VFO)
    // as they read them; elsewhere a VFO is switched to, written and switched back, because
    // Kenwood, Yaesu and network backends switch by themselves or take one mode for both VFOs.
    a.writesOtherVfo = a.selectsVfo && frequencyByName && modeByName && facts.backend == RIG_ICOM;
    a.writesFrequency = facts.setFreq;
    a.writesMode = facts.setMode;
    a.writesSplit = facts.setSplit;
    a.writesRitSwitch = facts.setRitSwitch;
    a.writesRitOffset = facts.setRit;
    a.readsRitSwitch = facts.getRitSwitch;
    a.modes = facts.modes;
    // Where it cannot be told whether a network server is such a receiver, a new mode gets the
    // server's normal passband for it, which suits both.
    a.modeWidthIsPassband = facts.network && (oneVfo || facts.vfos == 0);
    a.network = facts.network;

    a.reads_[static_cast<size_t>(Read::Vfo)] = facts.getVfo;
    a.reads_[static_cast<size_t>(Read::OtherFrequency)] = frequencyByName;
    a.reads_[static_cast<size_t>(Read::Mode)] = facts.getMode;
    a.reads_[static_cast<size_t>(Read::OtherMode)] = modeByName && facts.getMode;
    a.reads_[static_cast<size_t>(Read::Split)] = facts.getSplit;
    a.reads_[static_cast<size_t>(Read::Rit)] = facts.getRitSwitch || facts.getRit;
    a.reads_[static_cast<size_t>(Read::Ptt)] = facts.getPtt;
    return a;
}

std::optional<std::string> RigAbilities::refusal(const RigWrite& write, int32_t radioVfo) const {
    const bool elsewhere = write.vfo != (radioVfo == VFOB ? VFOB : VFOA);
    switch (write.kind) {
        case RigWrite::Kind::Vfo:
            return std::nullopt;
        case RigWrite::Kind::Frequency:
        case RigWrite::Kind::Mode: {
            const bool frequency = write.kind == RigWrite::Kind::Frequency;
            if (!(frequency ? writesFrequency : writesMode)) {
                return frequency ? "cannot set its frequency" : "cannot set its mode";
            }
            if (elsewhere && !selectsVfo) {
                return "cannot select " + vfoName(write.vfo);
            }
            return std::nullopt;
        }
        case RigWrite::Kind::Split:
            if (write.value == SPLITON && !writesSplit) {
                return "cannot switch split on";
            }
            return std::nullopt;
        case RigWrite::Kind::Rit:
            if (write.value == RITON && !writesRitSwitch) {
                return "cannot switch RIT on";
            }
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace OmniRig
