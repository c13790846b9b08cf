#pragma once
// Hamlib's modes and the contract's mode bits.

#include <hamlib/rig.h>

#include <cstdint>

namespace OmniRig {

// CW, CW-R, USB, LSB, AM and FM map to their bits (data on FM to FM); the data and RTTY modes
// to DIG on the upper sideband and DIG_R on the lower; any other mode to 0.
int32_t modeBitOf(rmode_t mode);

// The Hamlib mode to write for a mode bit: DIG and DIG_R as the radio's data modes on that
// sideband, as far as the radio offers them (`available`, a set of Hamlib modes);
// RIG_MODE_NONE for a value that is no mode bit.
rmode_t hamlibModeOf(int32_t modeBit, rmode_t available);

}  // namespace OmniRig
