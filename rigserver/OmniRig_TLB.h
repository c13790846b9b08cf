#pragma once
// The contract with the rig server: one server object with two rig objects and five change
// events. Every operation returns a status code and hands its value back through an out-value;
// the client component (TOmniRigX) turns failure codes into RigServerError.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ParamBits.h"
#include "RigResult.h"
#include "Variant.h"

namespace OmniRig {

// Identifiers of the automation server, kept so that every back end names the same objects.
inline constexpr const char* CLASS_OmniRigX = "{0839E8C6-ED30-4950-8087-966F970F0CAE}";
inline constexpr const char* IID_IOmniRigX = "{501A2858-3331-467A-837A-989FDEDACC7D}";
inline constexpr const char* IID_IRigX = "{D30A7E51-5862-45B7-BFFA-6415917DA0CF}";
inline constexpr const char* DIID_IOmniRigXEvents = "{2219175F-E561-47E7-AD17-73C4D8891AA1}";

// Dispatch ids of the five events.
inline constexpr int32_t DISPID_VisibleChange = 1;
inline constexpr int32_t DISPID_RigTypeChange = 2;
inline constexpr int32_t DISPID_StatusChange = 3;
inline constexpr int32_t DISPID_ParamsChange = 4;
inline constexpr int32_t DISPID_CustomReply = 5;

class IRigX {
public:
    virtual ~IRigX() = default;

    virtual RigResult get_TypeText(std::string& value) = 0;
    virtual RigResult get_StatusCode(int32_t& value) = 0;
    virtual RigResult get_StatusText(std::string& value) = 0;
    virtual RigResult get_Frequency(int32_t& value) = 0;
    virtual RigResult set_Frequency(int32_t value) = 0;
    virtual RigResult get_FrequencyA(int32_t& value) = 0;
    virtual RigResult get_FrequencyB(int32_t& value) = 0;
    virtual RigResult set_VfoBits(int32_t value) = 0;
    virtual RigResult get_SplitBits(int32_t& value) = 0;
    virtual RigResult set_SplitBits(int32_t value) = 0;
    virtual RigResult set_RitBits(int32_t value) = 0;
    virtual RigResult get_ModeBits(int32_t& value) = 0;
    virtual RigResult set_ModeBits(int32_t value) = 0;
};

// The receiver of the server's events. Arguments come in their declared order: RigNumber first,
// then Params (id 4) or Command and Reply (id 5).
class IOmniRigXEvents {
public:
    virtual ~IOmniRigXEvents() = default;
    virtual RigResult Invoke(int32_t dispId, const std::vector<Variant>& args) = 0;
};

class IOmniRigX {
public:
    virtual ~IOmniRigX() = default;

    virtual RigResult get_RigObject1(std::shared_ptr<IRigX>& rig) = 0;
    virtual RigResult get_RigObject2(std::shared_ptr<IRigX>& rig) = 0;
    virtual RigResult get_SettingsDialogVisible(bool& value) = 0;
    virtual RigResult set_SettingsDialogVisible(bool value) = 0;

    // The event subscription: the server calls the sink until Unadvise with the cookie it gave.
    virtual RigResult Advise(std::shared_ptr<IOmniRigXEvents> sink, uint32_t& cookie) = 0;
    virtual RigResult Unadvise(uint32_t cookie) = 0;
};

// Attaches to the running server or starts one.
using ServerFactory = std::function<RigResult(std::shared_ptr<IOmniRigX>& server)>;

}  // namespace OmniRig
