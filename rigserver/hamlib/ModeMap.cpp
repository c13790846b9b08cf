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
            return FM;
        // RTTY is keyed on the lower sideband, its reverse on the upper.
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
    auto prefer = [available](rmode_t first, rmode_t second) {
        return (available & first) || !(available & second) ? first : second;
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
            return prefer(RIG_MODE_PKTUSB, RIG_MODE_RTTYR);
        case DIG_R:
            return prefer(RIG_MODE_PKTLSB, RIG_MODE_RTTY);
        default:
            return RIG_MODE_NONE;
    }
}

}  // namespace OmniRig
