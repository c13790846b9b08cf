#pragma once
// A one-off check of rig settings: opens the rig on a link of its own, reads its frequency and
// closes it again. Blocks for up to about a second, so it runs off the window's thread.

#include <cstdint>
#include <string>

#include "RigConfig.h"

namespace OmniRig {

struct RigProbe {
    bool online = false;
    int32_t hertz = 0;
    // "On-line, <kHz> kHz", or the status the rig would show and why.
    std::string text;

    static RigProbe run(const RigConfig& config);
    // Hertz as the window shows them: whole kHz and two decimals, truncated.
    static std::string kilohertz(int32_t hertz);
};

}  // namespace OmniRig
