#pragma once
// An automation object called by member name: the name is looked up once (GetIDsOfNames) and the
// property read or written through IDispatch::Invoke. Every failure comes back as a result with
// the server's code and description.

#include <windows.h>

#include <oaidl.h>

#include <map>
#include <string>

#include "ComRef.h"
#include "ComVariant.h"
#include "RigResult.h"

namespace OmniRig {

class LateBoundObject {
public:
    explicit LateBoundObject(ComRef<IDispatch> object) : object_(std::move(object)) {}

    const ComRef<IDispatch>& object() const { return object_; }

    RigResult get(const wchar_t* name, ComVariant& value);
    RigResult put(const wchar_t* name, ComVariant& value);

    RigResult getInt(const wchar_t* name, int32_t& value);
    RigResult getBool(const wchar_t* name, bool& value);
    RigResult getText(const wchar_t* name, std::string& value);
    RigResult getObject(const wchar_t* name, ComRef<IDispatch>& value);
    RigResult putInt(const wchar_t* name, int32_t value);
    RigResult putBool(const wchar_t* name, bool value);

private:
    RigResult idOf(const wchar_t* name, DISPID& id);
    RigResult invoke(const wchar_t* name, WORD flags, DISPPARAMS& params, VARIANT* result);

    ComRef<IDispatch> object_;
    std::map<std::wstring, DISPID> ids_;
};

}  // namespace OmniRig
