#include "RigProbe.h"

#include <cstdlib>

#include "HamlibLibrary.h"
#include "RigLink.h"
#include "RigStatus.h"

namespace OmniRig {

namespace {

RigProbe failed(const RigStatus& status) {
    return {false, 0, status.text};
}

std::string reason(int code) {
    return std::abs(code) == RIG_ETIMEOUT ? std::string() : HamlibLibrary::errorText(code);
}

}  // namespace

std::string RigProbe::kilohertz(int32_t hertz) {
    const std::string decimals = std::to_string(hertz % 1000 / 10);
    return std::to_string(hertz / 1000) + "." + (decimals.size() < 2 ? "0" : "") + decimals +
           " kHz";
}

RigProbe RigProbe::run(const RigConfig& config) {
    if (!config.configured()) {
        return failed(RigStatus::notConfigured(config.problem));
    }
    RigLink link(config);
    if (!link.setupProblem().empty()) {
        return failed(RigStatus::notConfigured(link.setupProblem()));
    }
    int code = link.open();
    if (std::abs(code) == RIG_ETIMEOUT) {
        return failed(RigStatus::notResponding());
    }
    if (code != RIG_OK) {
        return failed(RigStatus::portNotAvailable(link.openProblem(code)));
    }
    int32_t hertz = 0;
    code = link.readFrequency(0, hertz);
    if (code != RIG_OK) {
        return failed(RigStatus::notResponding(reason(code)));
    }
    return {true, hertz, RigStatus::online().text + ", " + kilohertz(hertz)};
}

}  // namespace OmniRig
