#include "RigState.h"

#include "ParamBits.h"

namespace OmniRig {

int32_t RigState::currentVfo() const {
    return vfo == VFOB ? VFOB : VFOA;
}

std::size_t RigState::index(int32_t vfo) {
    return vfo == VFOB ? 1 : 0;
}

void RigState::apply(const RigWrite& write) {
    switch (write.kind) {
        case RigWrite::Kind::Vfo:
            vfo = write.value;
            break;
        case RigWrite::Kind::Frequency:
            freq[index(write.vfo)] = write.value;
            break;
        case RigWrite::Kind::Mode:
            mode[index(write.vfo)] = write.value;
            break;
        case RigWrite::Kind::Split:
            split = write.value;
            break;
        case RigWrite::Kind::Rit:
            rit = write.value;
            break;
    }
}

int32_t changedParams(const RigState& before, const RigState& after) {
    int32_t bits = 0;
    auto changed = [](int32_t was, int32_t now) { return now != 0 && now != was; };
    if (changed(before.freq[0], after.freq[0])) {
        bits |= FREQA;
    }
    if (changed(before.freq[1], after.freq[1])) {
        bits |= FREQB;
    }
    if (changed(before.currentFrequency(), after.currentFrequency())) {
        bits |= FREQ;
    }
    if (changed(before.vfo, after.vfo)) {
        bits |= after.vfo;
    }
    if (changed(before.split, after.split)) {
        bits |= after.split;
    }
    if (changed(before.rit, after.rit)) {
        bits |= after.rit;
    }
    if (changed(before.tx, after.tx)) {
        bits |= after.tx;
    }
    const int32_t modeBefore = before.currentMode();
    const int32_t modeAfter = after.currentMode();
    if (modeAfter != modeBefore) {
        bits |= modeAfter != 0 ? modeAfter : UNKNOWN;
    }
    return bits;
}

}  // namespace OmniRig
