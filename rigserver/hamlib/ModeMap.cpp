#include "ModeMap.h"

#include "ParamBits.h"

namespace OmniRig {

int32_t modeBitOf(rmode_t mode) {
    switch (mode) {
        case RIG_MODE_CW:
            return CW;
        case RIG_MODE_CWR:
            return CW_R;
        case RIG_MODE_USB:
            return USB;
        case RIG_MODE_LSB:
            return LSB;
        case RIG_MODE_AM:
            return AM;
        case RIG_MODE_FM:
        // Data on FM is still FM to a slave: no bit holds it, and FM is on the right channel.
        case RIG_MODE_PKTFM:
            return FM;
        // DIG is data on the upper sideband, DIG_R on the lower; RTTY is keyed on the lower
        // sideband, its reverse on the upper.
        case RIG_MODE_PKTUSB:
        case RIG_MODE_RTTYR:
            return DIG;
        case RIG_MODE_PKTLSB:
        case RIG_MODE_RTTY:
            return DIG_R;
        default:
            return 0;
    }
}

rmode_t hamlibModeOf(int32_t modeBit, rmode_t available) {
    // The radio's data mode; on a radio without one, its RTTY mode on that sideband, else the
    // plain sideband (a radio whose modes are not known is given the data mode).
    auto data = [available](rmode_t packet, rmode_t rtty, rmode_t sideband) {
        if (available == RIG_MODE_NONE || (available & packet)) {
            return packet;
        }
        return (available & rtty) ? rtty : sideband;
    };
    switch (modeBit) {
        case CW:
            return RIG_MODE_CW;
        case CW_R:
            return RIG_MODE_CWR;
        case USB:
            return RIG_MODE_USB;
        case LSB:
            return RIG_MODE_LSB;
        case AM:
            return RIG_MODE_AM;
        case FM:
            return RIG_MODE_FM;
        case DIG:
            return data(RIG_MODE_PKTUSB, RIG_MODE_RTTYR, RIG_MODE_USB);
        case DIG_R:
            return data(RIG_MODE_PKTLSB, RIG_MODE_RTTY, RIG_MODE_LSB);
        default:
            return RIG_MODE_NONE;
    }
}

}  // namespace OmniRig
