#include "Transverter.h"

#include <algorithm>
#include <utility>

#include "HamlibInternals.h"
#include "HamlibLibrary.h"
#include "ParamBits.h"

namespace OmniRig {

Transverter::Range Transverter::radioRange(int model) {
    const Range whole{1, kHighestHz};
    const auto known = HamlibLibrary::model(model);
    // A network model's ranges are those of whatever radio is behind it, learnt as it opens
    // (when Hamlib rewrites them): not the radio's before that.
    if (!known || known->port == HamlibLibrary::PortKind::Network) {
        return whole;
    }
    const HamlibFacts facts = HamlibInternals::ofModel(model);
    const Range range{static_cast<int64_t>(facts.lowestHz), static_cast<int64_t>(facts.highestHz)};
    if (range.high == 0 || range.low > range.high) {
        return whole;
    }
    return {std::clamp<int64_t>(range.low, 1, kHighestHz),
            std::clamp<int64_t>(range.high, 1, kHighestHz)};
}

Transverter::Range Transverter::loRange(int model, bool inverted) {
    const Range radio = radioRange(model);
    return inverted ? Range{radio.low + 1, radio.high + kHighestHz}
                    : Range{1 - radio.high, kHighestHz - radio.low};
}

int32_t Transverter::onAir(int32_t radio) const {
    if (radio == 0) {
        return 0;
    }
    const int64_t hertz = inverted ? lo - radio : radio + lo;
    return fits(hertz) ? static_cast<int32_t>(hertz) : 0;
}

int32_t Transverter::modes(int32_t bits) const {
    if (!inverted) {
        return bits;
    }
    int32_t swapped = bits;
    for (const auto& [one, other] : {std::pair{USB, LSB}, {CW, CW_R}, {DIG, DIG_R}}) {
        swapped &= ~(one | other);
        swapped |= (bits & one ? other : 0) | (bits & other ? one : 0);
    }
    return swapped;
}

}  // namespace OmniRig
