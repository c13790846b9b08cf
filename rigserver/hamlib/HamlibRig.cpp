#include "HamlibRig.h"

#include "ParamBits.h"

namespace OmniRig {

namespace {

RigStatus initialStatus(const RigConfig& config) {
    return config.configured() ? RigStatus::notResponding()
                               : RigStatus::notConfigured(config.problem);
}

bool isModeBit(int32_t value) {
    for (const int32_t bit : {CW, CW_R, USB, LSB, DIG, DIG_R, AM, FM}) {
        if (value == bit) {
            return true;
        }
    }
    return false;
}

}  // namespace

HamlibRig::HamlibRig(int rigNumber, RigConfig config, std::shared_ptr<EventHub> hub)
    : number_(rigNumber),
      config_(std::move(config)),
      hub_(std::move(hub)),
      mailbox_(config_.typeText(), initialStatus(config_)),
      worker_(std::make_unique<RigWorker>(rigNumber, config_, mailbox_, hub_)) {}

HamlibRig::~HamlibRig() = default;

void HamlibRig::reconfigure(const RigConfig& config) {
    if (config == config_) {
        return;
    }
    config_ = config;
    mailbox_.reconfigure(config_, config_.typeText());
    // Another rig, even of the same model: the window reads it afresh.
    hub_->post(DISPID_RigTypeChange, {Variant(static_cast<int32_t>(number_))});
}

RigResult HamlibRig::get_TypeText(std::string& value) {
    value = mailbox_.typeText();
    return RigResult::ok();
}

RigResult HamlibRig::get_StatusCode(int32_t& value) {
    value = mailbox_.status().code;
    return RigResult::ok();
}

RigResult HamlibRig::get_StatusText(std::string& value) {
    value = mailbox_.status().text;
    return RigResult::ok();
}

RigResult HamlibRig::get_Frequency(int32_t& value) {
    value = config_.transverter.onAir(mailbox_.view().currentFrequency());
    return RigResult::ok();
}

RigResult HamlibRig::get_FrequencyA(int32_t& value) {
    value = config_.transverter.onAir(mailbox_.view().freq[0]);
    return RigResult::ok();
}

RigResult HamlibRig::get_FrequencyB(int32_t& value) {
    value = config_.transverter.onAir(mailbox_.view().freq[1]);
    return RigResult::ok();
}

RigResult HamlibRig::get_SplitBits(int32_t& value) {
    value = mailbox_.view().split;
    return RigResult::ok();
}

RigResult HamlibRig::get_ModeBits(int32_t& value) {
    value = config_.transverter.modes(mailbox_.view().currentMode());
    return RigResult::ok();
}

RigResult HamlibRig::set_Frequency(int32_t value) {
    // 0 Hz is a frequency not known, never one to tune to.
    if (value <= 0) {
        return RigResult::fail(E_INVALID_ARGUMENT, "Frequency must be above 0 Hz");
    }
    const int64_t radio = config_.transverter.radio(value);
    if (!Transverter::fits(radio)) {
        return RigResult::fail(E_INVALID_ARGUMENT,
                               std::to_string(value) +
                                   " Hz is out of the transverter's range: the radio would be on " +
                                   std::to_string(radio) + " Hz");
    }
    return queue(RigWrite::Kind::Frequency, static_cast<int32_t>(radio));
}

RigResult HamlibRig::set_VfoBits(int32_t value) {
    if (value != VFOA && value != VFOB) {
        return RigResult::fail(E_INVALID_ARGUMENT, "VfoBits must be VFOA or VFOB");
    }
    return queue(RigWrite::Kind::Vfo, value);
}

RigResult HamlibRig::set_SplitBits(int32_t value) {
    if (value != SPLITON && value != SPLITOFF) {
        return RigResult::fail(E_INVALID_ARGUMENT, "SplitBits must be SPLITON or SPLITOFF");
    }
    return queue(RigWrite::Kind::Split, value);
}

RigResult HamlibRig::set_RitBits(int32_t value) {
    if (value != RITON && value != RITOFF) {
        return RigResult::fail(E_INVALID_ARGUMENT, "RitBits must be RITON or RITOFF");
    }
    return queue(RigWrite::Kind::Rit, value);
}

RigResult HamlibRig::set_ModeBits(int32_t value) {
    // A master in a mode without a bit reads 0; copying that to a slave changes nothing.
    if (value == 0) {
        return RigResult::ok();
    }
    if (!isModeBit(value)) {
        return RigResult::fail(E_INVALID_ARGUMENT, "ModeBits must be one mode bit");
    }
    return queue(RigWrite::Kind::Mode, config_.transverter.modes(value));
}

RigResult HamlibRig::queue(RigWrite::Kind kind, int32_t value) {
    if (const auto reason = mailbox_.refusal(kind, value)) {
        // "FT-891 cannot select VFO B": the window adds which rig it is.
        return RigResult::fail(E_NOT_IMPLEMENTED, mailbox_.typeText() + " " + *reason);
    }
    if (mailbox_.queue(kind, value)) {
        std::weak_ptr<HamlibRig> weak = weak_from_this();
        hub_->dispatch([weak] {
            if (auto rig = weak.lock()) {
                rig->mailbox_.flush();
            }
        });
    }
    return RigResult::ok();
}

}  // namespace OmniRig
