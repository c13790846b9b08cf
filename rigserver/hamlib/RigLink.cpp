#include "RigLink.h"

#include <cmath>
#include <cstring>
#include <mutex>

#include "HamlibLibrary.h"
#include "ModeMap.h"
#include "ParamBits.h"

namespace OmniRig {

namespace {

vfo_t hamlibVfo(int32_t vfo) {
    if (vfo == VFOA) {
        return RIG_VFO_A;
    }
    return vfo == VFOB ? RIG_VFO_B : RIG_VFO_CURR;
}

// Dual-receiver models and Hamlib's Dummy answer Main and Sub for A and B.
int32_t vfoBit(vfo_t vfo) {
    switch (vfo) {
        case RIG_VFO_A:
        case RIG_VFO_MAIN:
        case RIG_VFO_MAIN_A:
            return VFOA;
        case RIG_VFO_B:
        case RIG_VFO_SUB:
        case RIG_VFO_MAIN_B:
            return VFOB;
        default:
            return 0;
    }
}

}  // namespace

RigLink::Fault RigLink::classify(int code) {
    switch (std::abs(code)) {
        case RIG_OK:
            return Fault::None;
        case RIG_ENAVAIL:
        case RIG_ENIMPL:
        case RIG_ENTARGET:
            return Fault::Absent;
        case RIG_ETIMEOUT:
        case RIG_EIO:
        case RIG_EPROTO:
        case RIG_ETRUNC:
        case RIG_BUSERROR:
        case RIG_BUSBUSY:
        case RIG_EPOWER:
            return Fault::Link;
        default:
            return Fault::Refused;
    }
}

RigLink::RigLink(const RigConfig& config) {
    HamlibLibrary::initialise();
    {
        std::lock_guard lock(HamlibLibrary::handleMutex());
        rig_ = rig_init(static_cast<rig_model_t>(config.model));
    }
    if (rig_ == nullptr) {
        setupProblem_ = "unknown model " + std::to_string(config.model);
        return;
    }
    // Retries are ours: after a time-out the stream is out of step and needs a fresh open.
    if (!setConf("retry", "0")) {
        setupProblem_ = "the retry count was refused";
    } else if (!config.port.empty() && !setConf("rig_pathname", config.port)) {
        setupProblem_ = "PORT was refused: " + config.port;
    } else if (config.speed > 0 && rig_->state.rigport.type.rig == RIG_PORT_SERIAL &&
               !setConf("serial_speed", std::to_string(config.speed))) {
        setupProblem_ = "SPEED was refused: " + std::to_string(config.speed);
    }
}

RigLink::~RigLink() {
    close();
    if (rig_ != nullptr) {
        std::lock_guard lock(HamlibLibrary::handleMutex());
        rig_cleanup(rig_);
    }
}

bool RigLink::setConf(const char* name, const std::string& value) {
    const token_t token = rig_token_lookup(rig_, name);
    return token != RIG_CONF_END && rig_set_conf(rig_, token, value.c_str()) == RIG_OK;
}

void RigLink::setTimeout(std::chrono::milliseconds timeout) {
    setConf("timeout", std::to_string(timeout.count()));
}

std::string RigLink::portName() const {
    return rig_ != nullptr ? std::string(rig_->state.rigport.pathname) : std::string();
}

int RigLink::open() {
    if (rig_ == nullptr) {
        return -RIG_EINVAL;
    }
    if (open_) {
        return RIG_OK;
    }
    setTimeout(kOpenTimeout);
    int code;
    {
        std::lock_guard lock(HamlibLibrary::handleMutex());
        code = rig_open(rig_);
        if (code == RIG_OK && rig_->caps->rig_model == RIG_MODEL_NETRIGCTL) {
            // gqrx answers the info request with its name; the reply lands in a buffer that
            // every network handle shares.
            const char* info = rig_get_info(rig_);
            gqrx_ = info != nullptr && std::strncmp(info, "Gqrx", 4) == 0;
        }
    }
    if (code != RIG_OK) {
        return code;
    }
    open_ = true;
    setTimeout(kCommandTimeout);
    // The open has just read the VFO, frequencies, mode and split into Hamlib's cache; the first
    // poll takes them from there instead of asking the radio again (expireCache() ends that).
    rig_set_cache_timeout_ms(rig_, HAMLIB_CACHE_ALL, kOpenReadsMaxAgeMs);
    discoverFunctions();
    return RIG_OK;
}

void RigLink::expireCache() {
    // Hamlib keeps one age limit for every cached value, and the cache knows only what passed
    // through this handle: a knob turned on the radio, or another client of a shared rigctld,
    // changes the rig behind its back. After the first poll every read asks the radio.
    rig_set_cache_timeout_ms(rig_, HAMLIB_CACHE_ALL, 0);
}

void RigLink::close() {
    if (open_) {
        setTimeout(kCloseTimeout);
        rig_close(rig_);
        open_ = false;
    }
}

void RigLink::discoverFunctions() {
    const struct rig_caps* caps = rig_->caps;
    const int targetable = caps->targetable_vfo;
    // The network model claims its server's targetable flags but only passes a VFO on when
    // that rigctld runs in VFO mode; otherwise a read "of VFO B" answers for the current VFO.
    const bool passesVfo = caps->rig_model != RIG_MODEL_NETRIGCTL || rig_->state.vfo_opt;
    const bool frequency = passesVfo && (targetable & RIG_TARGETABLE_FREQ);
    const bool mode = passesVfo && (targetable & RIG_TARGETABLE_MODE);

    ritByFunction_ = rig_has_get_func(rig_, RIG_FUNC_RIT) != 0;
    has_[static_cast<int>(Read::Vfo)] = caps->get_vfo != nullptr;
    has_[static_cast<int>(Read::OtherFrequency)] = frequency;
    has_[static_cast<int>(Read::Mode)] = caps->get_mode != nullptr;
    has_[static_cast<int>(Read::OtherMode)] = mode && caps->get_mode != nullptr;
    has_[static_cast<int>(Read::Split)] = caps->get_split_vfo != nullptr;
    has_[static_cast<int>(Read::Rit)] = ritByFunction_ || caps->get_rit != nullptr;
    has_[static_cast<int>(Read::Ptt)] = caps->get_ptt != nullptr;
}

int RigLink::readVfo(int32_t& vfo) {
    vfo_t value = RIG_VFO_NONE;
    const int code = rig_get_vfo(rig_, &value);
    vfo = code == RIG_OK ? vfoBit(value) : 0;
    return code;
}

int RigLink::readFrequency(int32_t vfo, int32_t& hertz) {
    freq_t value = 0;
    const int code = rig_get_freq(rig_, hamlibVfo(vfo), &value);
    // The contract carries 32-bit hertz: bands above 2.1 GHz cannot be shown.
    hertz = code == RIG_OK && value > 0 && value < 2'147'483'647.0
                ? static_cast<int32_t>(std::llround(value))
                : 0;
    return code;
}

int RigLink::readMode(int32_t vfo, int32_t& modeBit) {
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    const int code = rig_get_mode(rig_, hamlibVfo(vfo), &mode, &width);
    modeBit = code == RIG_OK ? modeBitOf(mode) : 0;
    return code;
}

int RigLink::readSplit(int32_t& split) {
    split_t value = RIG_SPLIT_OFF;
    vfo_t tx = RIG_VFO_NONE;
    const int code = rig_get_split_vfo(rig_, RIG_VFO_CURR, &value, &tx);
    split = value == RIG_SPLIT_ON ? SPLITON : SPLITOFF;
    return code;
}

int RigLink::readRit(int32_t& rit) {
    bool on = false;
    int code;
    if (ritByFunction_) {
        int status = 0;
        code = rig_get_func(rig_, RIG_VFO_CURR, RIG_FUNC_RIT, &status);
        on = status != 0;
    } else {
        shortfreq_t offset = 0;
        code = rig_get_rit(rig_, RIG_VFO_CURR, &offset);
        on = offset != 0;
    }
    rit = on ? RITON : RITOFF;
    return code;
}

int RigLink::readPtt(int32_t& rxtx) {
    ptt_t ptt = RIG_PTT_OFF;
    const int code = rig_get_ptt(rig_, RIG_VFO_CURR, &ptt);
    rxtx = ptt == RIG_PTT_OFF ? RX : TX;
    return code;
}

int RigLink::selectVfo(vfo_t vfo) {
    // Straight to the backend: rig_set_vfo skips a switch to the VFO the radio last reported,
    // and some backends answer that from a cache of their own (Kenwood's IF, half a second), so
    // the switch back after writing the other VFO would be lost.
    if (rig_->caps->set_vfo == nullptr) {
        return -RIG_ENAVAIL;
    }
    const int code = rig_->caps->set_vfo(rig_, vfo);
    if (code == RIG_OK) {
        // What rig_set_vfo records, so the calls that follow act on this VFO.
        rig_->state.current_vfo = vfo;
    }
    return code;
}

void RigLink::forgetCachedValues() {
    // Hamlib skips a frequency or mode write that its cache says is in force, and its cache
    // slots for "the current VFO" still hold the other VFO's values after a switch (Kenwood
    // backends then leave VFO B's mode as it was, or change only its data flag).
    rig_cache& cache = rig_->state.cache;
    cache.freqCurr = cache.freqOther = cache.freqMainA = cache.freqMainB = 0;
    cache.modeCurr = cache.modeOther = cache.modeMainA = cache.modeMainB = RIG_MODE_NONE;
}

int RigLink::writeModeToGqrx(rmode_t mode) {
    // gqrx takes the width as the passband: Hamlib's -1 for "keep it" would close the filter,
    // and 0 gives the mode gqrx's own width for it, from its filter width setting, as a
    // radio picks its filter for a new mode. So a mode it has with a passband it can hear is
    // left alone, and any other is written with 0.
    rmode_t now = RIG_MODE_NONE;
    pbwidth_t width = 0;
    const int code = rig_get_mode(rig_, RIG_VFO_CURR, &now, &width);
    if (code != RIG_OK || (now == mode && width > 0)) {
        return code;
    }
    // Straight to the backend: rig_set_mode first asks for a mode lock that gqrx does not
    // know, and then skips the write or not by a flag that the refusal left unset.
    return rig_->caps->set_mode(rig_, RIG_VFO_CURR, mode, RIG_PASSBAND_NORMAL);
}

int RigLink::apply(const RadioOp& op) {
    // The plan has selected the VFO each write acts on: every write goes to the current one.
    switch (op.kind) {
        case RadioOp::Kind::SelectVfo:
            // gqrx has VFO A alone; it would answer a switch to B with an error, which the
            // link takes for a broken stream.
            if (gqrx_ && hamlibVfo(op.value) == RIG_VFO_B) {
                return -RIG_ENAVAIL;
            }
            return selectVfo(hamlibVfo(op.value));
        case RadioOp::Kind::Frequency:
            forgetCachedValues();
            return rig_set_freq(rig_, RIG_VFO_CURR, static_cast<freq_t>(op.value));
        case RadioOp::Kind::Mode: {
            const rmode_t mode = hamlibModeOf(op.value, rig_->state.mode_list);
            if (mode == RIG_MODE_NONE) {
                return -RIG_EINVAL;
            }
            forgetCachedValues();
            if (gqrx_) {
                return writeModeToGqrx(mode);
            }
            // The radio keeps its passband.
            return rig_set_mode(rig_, RIG_VFO_CURR, mode, RIG_PASSBAND_NOCHANGE);
        }
        case RadioOp::Kind::Split: {
            const bool on = op.value == SPLITON;
            // Split transmits on the VFO the radio is not receiving on.
            const vfo_t tx = on ? hamlibVfo(op.vfo == VFOB ? VFOA : VFOB) : hamlibVfo(op.vfo);
            return rig_set_split_vfo(rig_, RIG_VFO_CURR, on ? RIG_SPLIT_ON : RIG_SPLIT_OFF, tx);
        }
        case RadioOp::Kind::Rit: {
            const bool on = op.value == RITON;
            if (rig_has_set_func(rig_, RIG_FUNC_RIT)) {
                return rig_set_func(rig_, RIG_VFO_CURR, RIG_FUNC_RIT, on ? 1 : 0);
            }
            // Without a RIT switch, a zero offset is RIT off; on cannot be made that way.
            return on ? -RIG_ENAVAIL : rig_set_rit(rig_, RIG_VFO_CURR, 0);
        }
    }
    return -RIG_EINVAL;
}

}  // namespace OmniRig
