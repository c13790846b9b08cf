#include "RigLink.h"

#include <cmath>
#include <cstdlib>
#include <mutex>

#include "HamlibInternals.h"
#include "HamlibLibrary.h"
#include "ModeMap.h"
#include "ParamBits.h"
#include "PortAccess.h"

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

bool RigLink::silent(int code) {
    // A reply that does not parse is a late reply to an earlier command that timed out.
    return std::abs(code) == RIG_ETIMEOUT || std::abs(code) == RIG_EPROTO;
}

RigLink::RigLink(const RigConfig& config) : model_(config.model) {
    HamlibLibrary::initialise();
    {
        std::lock_guard lock(HamlibLibrary::handleMutex());
        rig_ = rig_init(static_cast<rig_model_t>(config.model));
    }
    if (rig_ == nullptr) {
        setupProblem_ = "unknown model " + std::to_string(config.model);
        return;
    }
    const bool serial = rig_get_caps_int(static_cast<rig_model_t>(config.model),
                                         RIG_CAPS_PORT_TYPE) == RIG_PORT_SERIAL;
    // Retries are ours: after a time-out the stream is out of step and needs a fresh open. Hamlib
    // 4.6 and later also wait again after a read times out, unless told not to (4.5 has no such
    // setting).
    setConf("timeout_retry", "0");
    // Hamlib 4.7 and later poll the radio on a thread of their own unless told not to: this
    // program's poll is the only one, so the radio is asked nothing twice.
    setConf("poll_interval", "0");
    if (!setConf("retry", "0")) {
        setupProblem_ = "the retry count was refused";
    } else if (!config.port.empty() && !setConf("rig_pathname", config.port)) {
        setupProblem_ = "PORT was refused: " + config.port;
    } else if (config.speed > 0 && serial &&
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
    const auto token = rig_token_lookup(rig_, name);
    return token != RIG_CONF_END && rig_set_conf(rig_, token, value.c_str()) == RIG_OK;
}

void RigLink::setTimeout(std::chrono::milliseconds timeout) {
    setConf("timeout", std::to_string(timeout.count()));
}

std::string RigLink::portName() const {
    if (rig_ == nullptr) {
        return {};
    }
    char path[HAMLIB_FILPATHLEN] = {};
    const auto token = rig_token_lookup(rig_, "rig_pathname");
    if (token == RIG_CONF_END || rig_get_conf2(rig_, token, path, sizeof path) != RIG_OK) {
        return {};
    }
    return path;
}

std::string RigLink::openProblem(int code) const {
    const std::string port = portName();
    const std::string cause = PortAccess::problem(port);
    return cause.empty() ? port + " (" + HamlibLibrary::errorText(code) + ")" : cause;
}

int RigLink::open() {
    if (rig_ == nullptr) {
        return -RIG_EINVAL;
    }
    if (open_) {
        return RIG_OK;
    }
    setTimeout(kOpenTimeout);
    HamlibFacts facts;
    {
        std::lock_guard lock(HamlibLibrary::handleMutex());
        HamlibInternals::beforeOpen(rig_, kOpenTimeout);
        const int code = rig_open(rig_);
        if (code != RIG_OK) {
            return code;
        }
        // Read before another handle's open rewrites the network model's capabilities.
        facts = HamlibInternals::ofOpenRig(rig_, model_);
    }
    open_ = true;
    abilities_ = RigAbilities::of(facts);
    refusedModes_ = RIG_MODE_NONE;
    cacheExpired_ = false;
    setTimeout(kCommandTimeout);
    // The open has just read the VFO, frequencies, mode and split into Hamlib's cache; the first
    // poll takes them from there instead of asking the radio again (expireCache() ends that).
    rig_set_cache_timeout_ms(rig_, HAMLIB_CACHE_ALL, kOpenReadsMaxAgeMs);
    return RIG_OK;
}

void RigLink::expireCache() {
    // Hamlib keeps one age limit for every cached value, and the cache knows only what passed
    // through this handle: a knob turned on the radio, or another client of a shared rigctld,
    // changes the rig behind its back, and a write Hamlib thinks in force would be skipped.
    if (!cacheExpired_) {
        rig_set_cache_timeout_ms(rig_, HAMLIB_CACHE_ALL, 0);
        cacheExpired_ = true;
    }
}

void RigLink::close() {
    if (open_) {
        setTimeout(kCloseTimeout);
        std::lock_guard lock(HamlibLibrary::handleMutex());
        rig_close(rig_);
        open_ = false;
    }
}

int RigLink::readVfo(int32_t& vfo) {
    callStarted_ = std::chrono::steady_clock::now();
    vfo_t value = RIG_VFO_NONE;
    const int code = rig_get_vfo(rig_, &value);
    vfo = code == RIG_OK ? vfoBit(value) : 0;
    return code;
}

int RigLink::readFrequency(int32_t vfo, int32_t& hertz) {
    callStarted_ = std::chrono::steady_clock::now();
    freq_t value = 0;
    const int code = rig_get_freq(rig_, hamlibVfo(vfo), &value);
    // The contract carries 32-bit hertz: bands above 2.1 GHz cannot be shown.
    hertz = code == RIG_OK && value > 0 && value < 2'147'483'647.0
                ? static_cast<int32_t>(std::llround(value))
                : 0;
    return code;
}

int RigLink::readMode(int32_t vfo, int32_t& modeBit) {
    callStarted_ = std::chrono::steady_clock::now();
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    const int code = rig_get_mode(rig_, hamlibVfo(vfo), &mode, &width);
    modeBit = code == RIG_OK ? modeBitOf(mode) : 0;
    return code;
}

int RigLink::readSplit(int32_t& split) {
    callStarted_ = std::chrono::steady_clock::now();
    split_t value = RIG_SPLIT_OFF;
    vfo_t tx = RIG_VFO_NONE;
    const int code = rig_get_split_vfo(rig_, RIG_VFO_CURR, &value, &tx);
    split = value == RIG_SPLIT_ON ? SPLITON : SPLITOFF;
    return code;
}

int RigLink::readRit(int32_t& rit) {
    callStarted_ = std::chrono::steady_clock::now();
    bool on = false;
    int code;
    if (abilities_.readsRitSwitch) {
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
    callStarted_ = std::chrono::steady_clock::now();
    ptt_t ptt = RIG_PTT_OFF;
    const int code = rig_get_ptt(rig_, RIG_VFO_CURR, &ptt);
    rxtx = ptt == RIG_PTT_OFF ? RX : TX;
    return code;
}

int RigLink::writeModeAsPassband(rmode_t mode) {
    // The width is the passband: Hamlib's -1 for "keep it" would close the filter, and 0 gives
    // the mode the program's own width for it, as a radio picks its filter for a new mode. So a
    // mode it has with a passband it can hear is left alone, and any other is written with 0.
    rmode_t now = RIG_MODE_NONE;
    pbwidth_t width = 0;
    const int code = rig_get_mode(rig_, RIG_VFO_CURR, &now, &width);
    if (code != RIG_OK || (now == mode && width > 0)) {
        return code;
    }
    return HamlibInternals::setModeUnasked(rig_, mode, RIG_PASSBAND_NORMAL);
}

int RigLink::writeMode(vfo_t vfo, int32_t modeBit) {
    for (;;) {
        // Where the radio's modes are not known, its data modes are tried before its RTTY mode
        // and the plain sideband, and a mode it refused is not tried again.
        const rmode_t available =
            abilities_.modes != 0 ? abilities_.modes : ~rmode_t{0} & ~refusedModes_;
        const rmode_t mode = hamlibModeOf(modeBit, available);
        if (mode == RIG_MODE_NONE) {
            return -RIG_EINVAL;
        }
        const int code = abilities_.modeWidthIsPassband
                             ? writeModeAsPassband(mode)
                             : rig_set_mode(rig_, vfo, mode, RIG_PASSBAND_NOCHANGE);
        if (abilities_.modes != 0 || classify(code) != Fault::Refused ||
            hamlibModeOf(modeBit, available & ~mode) == mode) {
            return code;
        }
        refusedModes_ |= mode;
    }
}

void RigLink::learnAbsent(const RadioOp& op) {
    switch (op.kind) {
        case RadioOp::Kind::SelectVfo:
            abilities_.selectsVfo = false;
            abilities_.writesOtherVfo = false;
            break;
        case RadioOp::Kind::Frequency:
        case RadioOp::Kind::Mode:
            if (op.named) {
                abilities_.writesOtherVfo = false;
            } else {
                (op.kind == RadioOp::Kind::Frequency ? abilities_.writesFrequency
                                                     : abilities_.writesMode) = false;
            }
            break;
        case RadioOp::Kind::Split:
            abilities_.writesSplit = false;
            break;
        case RadioOp::Kind::Rit:
            abilities_.writesRitSwitch = abilities_.writesRitOffset = false;
            break;
    }
}

int RigLink::apply(const RadioOp& op) {
    expireCache();
    const vfo_t vfo = op.named ? hamlibVfo(op.vfo) : RIG_VFO_CURR;
    int code = -RIG_EINVAL;
    switch (op.kind) {
        case RadioOp::Kind::SelectVfo:
            code = HamlibInternals::selectVfo(rig_, hamlibVfo(op.value));
            break;
        case RadioOp::Kind::Frequency:
            HamlibInternals::forgetCachedValues(rig_);
            code = rig_set_freq(rig_, vfo, static_cast<freq_t>(op.value));
            break;
        case RadioOp::Kind::Mode:
            HamlibInternals::forgetCachedValues(rig_);
            code = writeMode(vfo, op.value);
            break;
        case RadioOp::Kind::Split: {
            const bool on = op.value == SPLITON;
            // Split transmits on the VFO the radio is not receiving on.
            const vfo_t tx = on ? hamlibVfo(op.vfo == VFOB ? VFOA : VFOB) : hamlibVfo(op.vfo);
            code = rig_set_split_vfo(rig_, RIG_VFO_CURR, on ? RIG_SPLIT_ON : RIG_SPLIT_OFF, tx);
            break;
        }
        case RadioOp::Kind::Rit: {
            const bool on = op.value == RITON;
            if (abilities_.writesRitSwitch) {
                code = rig_set_func(rig_, RIG_VFO_CURR, RIG_FUNC_RIT, on ? 1 : 0);
            } else {
                // Without a RIT switch, a zero offset is RIT off; on cannot be made that way.
                code = on ? -RIG_ENAVAIL : rig_set_rit(rig_, RIG_VFO_CURR, 0);
            }
            break;
        }
    }
    if (classify(code) == Fault::Absent) {
        learnAbsent(op);
    }
    return code;
}

}  // namespace OmniRig
