#pragma once
// A rig object of the stand-in: its properties are values the tests can set (of any automation
// type), and every read and write is recorded as "rigN.Name?" or "rigN.Name=value".

#include <map>
#include <string>

#include "StandInDispatch.h"
#include "StandInScript.h"

namespace StandIn {

class StandInRig final : public StandInDispatch {
public:
    StandInRig(int number, StandInScript& script);

    // Sets a property as the server's own state, unrecorded; false for an unknown name.
    bool setValue(const std::wstring& name, const VARIANT& value);

protected:
    HRESULT invokeMember(DISPID member, WORD flags, DISPPARAMS& params, VARIANT* result,
                         EXCEPINFO* exception) override;

private:
    int number_;
    StandInScript& script_;
    std::map<DISPID, StandInVariant> values_;
};

}  // namespace StandIn
