#include "StandInRig.h"

#include "StandInIds.h"

namespace StandIn {

namespace {

enum RigMember : DISPID {
    TypeText = 201,
    StatusCode,
    StatusText,
    Frequency,
    FrequencyA,
    FrequencyB,
    VfoBits,
    SplitBits,
    RitBits,
    ModeBits,
};

bool writable(DISPID member) {
    return member == Frequency || member == VfoBits || member == SplitBits || member == RitBits ||
           member == ModeBits;
}

}  // namespace

StandInRig::StandInRig(int number, StandInScript& script)
    : StandInDispatch({{L"TypeText", TypeText},
                       {L"StatusCode", StatusCode},
                       {L"StatusText", StatusText},
                       {L"Frequency", Frequency},
                       {L"FrequencyA", FrequencyA},
                       {L"FrequencyB", FrequencyB},
                       {L"VfoBits", VfoBits},
                       {L"SplitBits", SplitBits},
                       {L"RitBits", RitBits},
                       {L"ModeBits", ModeBits}},
                      kRigInterface),
      number_(number),
      script_(script) {
    const LONG base = number == 1 ? 14'000'000 : 7'000'000;
    values_[TypeText] = StandInVariant::ofText(number == 1 ? L"Stand-in one" : L"Stand-in two");
    values_[StatusCode] = StandInVariant::ofLong(4);
    values_[StatusText] = StandInVariant::ofText(L"On-line");
    values_[Frequency] = StandInVariant::ofLong(base);
    values_[FrequencyA] = StandInVariant::ofLong(base);
    values_[FrequencyB] = StandInVariant::ofLong(base + 100'000);
    values_[VfoBits] = StandInVariant::ofLong(0x800);
    values_[SplitBits] = StandInVariant::ofLong(0x10000);
    values_[RitBits] = StandInVariant::ofLong(0x40000);
    values_[ModeBits] = StandInVariant::ofLong(number == 1 ? 0x2000000 : 0x4000000);
}

bool StandInRig::setValue(const std::wstring& name, const VARIANT& value) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    if (FAILED(GetIDsOfNames(IID_NULL, names, 1, 0, &id))) {
        return false;
    }
    values_[id] = StandInVariant(value);
    return true;
}

HRESULT StandInRig::invokeMember(DISPID member, WORD flags, DISPPARAMS& params, VARIANT* result,
                                 EXCEPINFO* exception) {
    auto found = values_.find(member);
    if (found == values_.end()) {
        return DISP_E_MEMBERNOTFOUND;
    }
    const std::wstring name = L"rig" + std::to_wstring(number_) + L"." + nameOf(member);
    if (flags & DISPATCH_PROPERTYGET) {
        if (result == nullptr || params.cArgs != 0) {
            return DISP_E_BADPARAMCOUNT;
        }
        return script_.handle(name + L"?", exception,
                              [&] { return ::VariantCopy(result, values_[member].get()); });
    }
    if (flags & DISPATCH_PROPERTYPUT) {
        const VARIANT* value = putValue(params);
        if (value == nullptr) {
            return DISP_E_PARAMNOTOPTIONAL;
        }
        if (!writable(member)) {
            return DISP_E_MEMBERNOTFOUND;
        }
        // A typed server takes its integer properties as 32-bit integers.
        StandInVariant converted;
        if (FAILED(::VariantChangeType(converted.get(), const_cast<VARIANT*>(value), 0, VT_I4))) {
            return DISP_E_TYPEMISMATCH;
        }
        return script_.handle(name + L"=" + converted.text(), exception, [&] {
            values_[member] = converted;
            return S_OK;
        });
    }
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace StandIn
