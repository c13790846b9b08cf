#pragma once
// A rig object of the Hamlib rig server. Reads answer from the worker's published state at
// once; writes change that view at once and are handed to the worker together once the
// client's current call has returned to its event loop, so a handler's writes reach the radio
// as one batch, in order. Behind a transverter it reports and takes on-air frequencies and
// modes; the worker and the radio see the radio's own.

#include <memory>

#include "EventHub.h"
#include "OmniRig_TLB.h"
#include "RigConfig.h"
#include "RigMailbox.h"
#include "RigWorker.h"

namespace OmniRig {

class HamlibRig : public IRigX, public std::enable_shared_from_this<HamlibRig> {
public:
    HamlibRig(int rigNumber, RigConfig config, std::shared_ptr<EventHub> hub);
    ~HamlibRig() override;

    int number() const { return number_; }
    const RigConfig& config() const { return config_; }
    // Switches to other settings: OnRigTypeChange, and the link goes off (OnStatusChange) and
    // is opened anew. Never waits for the radio.
    void reconfigure(const RigConfig& config);
    // Asks the worker to stop without waiting, so two rigs stop side by side.
    void requestStop() { mailbox_.stop(); }

    RigResult get_TypeText(std::string& value) override;
    RigResult get_StatusCode(int32_t& value) override;
    RigResult get_StatusText(std::string& value) override;
    RigResult get_Frequency(int32_t& value) override;
    RigResult set_Frequency(int32_t value) override;
    RigResult get_FrequencyA(int32_t& value) override;
    RigResult get_FrequencyB(int32_t& value) override;
    RigResult set_VfoBits(int32_t value) override;
    RigResult get_SplitBits(int32_t& value) override;
    RigResult set_SplitBits(int32_t value) override;
    RigResult set_RitBits(int32_t value) override;
    RigResult get_ModeBits(int32_t& value) override;
    RigResult set_ModeBits(int32_t value) override;

private:
    RigResult queue(RigWrite::Kind kind, int32_t value);

    int number_;
    RigConfig config_;
    std::shared_ptr<EventHub> hub_;
    RigMailbox mailbox_;
    std::unique_ptr<RigWorker> worker_;  // last: it stops before the rest goes
};

}  // namespace OmniRig
