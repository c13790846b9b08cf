#include "HamlibInternals.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <sstream>

namespace OmniRig {

namespace {

std::atomic<bool> publicOnly{false};

// "Hamlib 4.5.4" -> {4, 5}; {-1, -1} for a text without a version.
std::pair<int, int> majorMinor(const std::string& text) {
    int major = -1;
    int minor = -1;
    const size_t digit = text.find_first_of("0123456789");
    if (digit == std::string::npos ||
        std::sscanf(text.c_str() + digit, "%d.%d", &major, &minor) != 2) {
        return {-1, -1};
    }
    return {major, minor};
}

bool networkPort(uint64_t type) {
    return type == RIG_PORT_NETWORK || type == RIG_PORT_UDP_NETWORK;
}

HamlibLibrary::PortKind portKind(uint64_t type) {
    switch (type) {
        case RIG_PORT_NONE:
            return HamlibLibrary::PortKind::None;
        case RIG_PORT_SERIAL:
            return HamlibLibrary::PortKind::Serial;
        default:
            return networkPort(type) ? HamlibLibrary::PortKind::Network
                                     : HamlibLibrary::PortKind::Other;
    }
}

// What the public functions tell of a model; the functions it has are left to the guesses.
HamlibFacts publicFacts(int model) {
    HamlibFacts facts;
    const auto id = static_cast<rig_model_t>(model);
    facts.targetable = rig_get_caps_int(id, RIG_CAPS_TARGETABLE_VFO);
    facts.network = networkPort(rig_get_caps_int(id, RIG_CAPS_PORT_TYPE));
    facts.backend = static_cast<int>(RIG_BACKEND_NUM(id));
    return facts;
}

void readCaps(const struct rig_caps& caps, HamlibFacts& facts) {
    facts.complete = true;
    facts.setVfo = caps.set_vfo != nullptr;
    facts.getVfo = caps.get_vfo != nullptr;
    facts.setFreq = caps.set_freq != nullptr;
    facts.setMode = caps.set_mode != nullptr;
    facts.getMode = caps.get_mode != nullptr;
    facts.setSplit = caps.set_split_vfo != nullptr;
    facts.getSplit = caps.get_split_vfo != nullptr;
    facts.setRit = caps.set_rit != nullptr;
    facts.getRit = caps.get_rit != nullptr;
    facts.getRitSwitch = (caps.has_get_func & RIG_FUNC_RIT) != 0;
    facts.setRitSwitch = (caps.has_set_func & RIG_FUNC_RIT) != 0;
    facts.getPtt = caps.get_ptt != nullptr;
    facts.targetable = static_cast<uint64_t>(caps.targetable_vfo);
    for (const freq_range_t* ranges :
         {caps.rx_range_list1, caps.rx_range_list2, caps.rx_range_list3, caps.rx_range_list4,
          caps.rx_range_list5}) {
        for (int i = 0; i < HAMLIB_FRQRANGESIZ && !RIG_IS_FRNG_END(ranges[i]); ++i) {
            facts.modes |= ranges[i].modes;
            facts.vfos |= static_cast<uint64_t>(ranges[i].vfo);
            const bool first = facts.highestHz == 0;
            facts.lowestHz = first ? ranges[i].startf : std::min(facts.lowestHz, ranges[i].startf);
            facts.highestHz = std::max(facts.highestHz, ranges[i].endf);
        }
    }
}

// The VFOs an open handle has, from Hamlib's list of their names. For a network handle the list
// also holds VFOs of the radio behind another network handle opened earlier in the process, whose
// open rewrote the capabilities this handle's list was started from.
uint64_t listedVfos(RIG* rig) {
    char text[256] = {};
    if (rig_get_vfo_list(rig, text, sizeof text) != RIG_OK) {
        return 0;
    }
    uint64_t vfos = 0;
    std::istringstream names(text);
    for (std::string name; names >> name;) {
        vfos |= static_cast<uint64_t>(rig_parse_vfo(name.c_str()));
    }
    return vfos;
}

}  // namespace

namespace HamlibInternals {

std::string builtFor() {
    return ZR_HAMLIB_BUILT_FOR;
}

bool usable() {
    // Asked before every write: the versions are compared once.
    static const bool asBuilt = majorMinor(hamlib_version) == majorMinor(builtFor());
    return asBuilt && !publicOnly;
}

void forcePublicPath(bool on) {
    publicOnly = on;
}

HamlibFacts ofModel(int model) {
    HamlibFacts facts = publicFacts(model);
    const struct rig_caps* caps = rig_get_caps(static_cast<rig_model_t>(model));
    if (usable() && caps != nullptr) {
        readCaps(*caps, facts);
    }
    return facts;
}

HamlibFacts ofOpenRig(RIG* rig, int model) {
    HamlibFacts facts = publicFacts(model);
    bool haveVfos = false;
    // The network model's open rewrites its capabilities from what its server answered.
    if (usable()) {
        readCaps(*rig->caps, facts);
#if ZR_HAMLIB_MAJOR < 5
        const struct rig_state& state = rig->state;
        facts.passesVfo = facts.network && state.vfo_opt != 0;
        facts.modes = state.mode_list;
        // The handle's own ranges: for a network model, what its server answered.
        facts.vfos = 0;
        for (const freq_range_t* ranges : {state.rx_range_list, state.tx_range_list}) {
            for (int i = 0; i < HAMLIB_FRQRANGESIZ && !RIG_IS_FRNG_END(ranges[i]); ++i) {
                facts.vfos |= static_cast<uint64_t>(ranges[i].vfo);
            }
        }
        haveVfos = true;
#endif
    }
    // A network handle's list holds the VFOs of radios behind other network handles too.
    if (!haveVfos && !facts.network) {
        facts.vfos = listedVfos(rig);
    }
    facts.getRitSwitch = rig_has_get_func(rig, RIG_FUNC_RIT) != 0;
    facts.setRitSwitch = rig_has_set_func(rig, RIG_FUNC_RIT) != 0;
    return facts;
}

HamlibLibrary::Model modelOf(int model) {
    const auto id = static_cast<rig_model_t>(model);
    const char* maker = rig_get_caps_cptr(id, RIG_CAPS_MFG_NAME_CPTR);
    const char* name = rig_get_caps_cptr(id, RIG_CAPS_MODEL_NAME_CPTR);
    HamlibLibrary::Model m{model, maker ? maker : "", name ? name : "",
                           portKind(rig_get_caps_int(id, RIG_CAPS_PORT_TYPE))};
    const struct rig_caps* caps = rig_get_caps(id);
    if (usable() && caps != nullptr) {
        m.minSpeed = caps->serial_rate_min;
        m.maxSpeed = caps->serial_rate_max;
    }
    return m;
}

int setModeUnasked(RIG* rig, rmode_t mode, pbwidth_t width) {
    if (!usable()) {
        return rig_set_mode(rig, RIG_VFO_CURR, mode, width);
    }
    if (rig->caps->set_mode == nullptr) {
        return -RIG_ENAVAIL;
    }
    return rig->caps->set_mode(rig, RIG_VFO_CURR, mode, width);
}

int selectVfo(RIG* rig, vfo_t vfo) {
    if (!usable()) {
        return rig_set_vfo(rig, vfo);
    }
    if (rig->caps->set_vfo == nullptr) {
        return -RIG_ENAVAIL;
    }
    const int code = rig->caps->set_vfo(rig, vfo);
    if (code != RIG_OK) {
        return code;
    }
#if ZR_HAMLIB_MAJOR < 5
    rig->state.current_vfo = vfo;
    return code;
#else
    // The handle's state is private: rig_set_vfo records the switch, now that the radio is there
    // (a stale read of its VFO costs one more switch command).
    return rig_set_vfo(rig, vfo);
#endif
}

void beforeOpen([[maybe_unused]] RIG* rig, [[maybe_unused]] std::chrono::milliseconds timeout) {
#if ZR_HAMLIB_MAJOR == 4 && ZR_HAMLIB_MINOR == 6
    // The capabilities are shared by every handle of the model, and the opens that read them
    // take turns (HamlibLibrary::handleMutex), each setting them for itself.
    if (usable()) {
        rig->caps->timeout = static_cast<int>(timeout.count());
    }
#endif
}

void forgetCachedValues([[maybe_unused]] RIG* rig) {
#if ZR_HAMLIB_MAJOR == 4 && ZR_HAMLIB_MINOR < 7
    if (usable()) {
        rig_cache& cache = rig->state.cache;
        cache.freqCurr = cache.freqOther = cache.freqMainA = cache.freqMainB = 0;
        cache.modeCurr = cache.modeOther = cache.modeMainA = cache.modeMainB = RIG_MODE_NONE;
    }
#endif
}

}  // namespace HamlibInternals

}  // namespace OmniRig
