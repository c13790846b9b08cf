#include "LateBoundObject.h"

#include "ComFailure.h"
#include "ComText.h"

namespace OmniRig {

namespace {

std::string nameOf(const wchar_t* name) {
    return ComText::toUtf8(name, wcslen(name));
}

RigResult notConvertible(const wchar_t* name, const char* what) {
    return RigResult::fail(static_cast<int32_t>(DISP_E_TYPEMISMATCH),
                           "The rig server's " + nameOf(name) + " is not " + what);
}

}  // namespace

RigResult LateBoundObject::idOf(const wchar_t* name, DISPID& id) {
    if (auto found = ids_.find(name); found != ids_.end()) {
        id = found->second;
        return RigResult::ok();
    }
    // The reference is held locally: an event handler running inside the call may drop ours.
    ComRef<IDispatch> object = object_;
    ComFailure::clearErrorInfo();
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        return ComFailure::fromCall(hr, "The rig server has no " + nameOf(name));
    }
    ids_.insert_or_assign(name, id);
    return RigResult::ok();
}

RigResult LateBoundObject::invoke(const wchar_t* name, WORD flags, DISPPARAMS& params,
                                  VARIANT* result) {
    DISPID id = DISPID_UNKNOWN;
    if (auto r = idOf(name, id); r.failed()) {
        return r;
    }
    ComRef<IDispatch> object = object_;
    EXCEPINFO exception{};
    UINT argumentError = 0;
    ComFailure::clearErrorInfo();
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                      &exception, &argumentError);
    if (FAILED(hr)) {
        return ComFailure::fromInvoke(hr, exception,
                                      "The rig server's " + nameOf(name) + " failed");
    }
    return RigResult::ok();
}

RigResult LateBoundObject::get(const wchar_t* name, ComVariant& value) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return invoke(name, DISPATCH_PROPERTYGET, none, value.put());
}

RigResult LateBoundObject::put(const wchar_t* name, ComVariant& value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{value.get(), &named, 1, 1};
    return invoke(name, DISPATCH_PROPERTYPUT, params, nullptr);
}

RigResult LateBoundObject::getInt(const wchar_t* name, int32_t& value) {
    ComVariant v;
    if (auto r = get(name, v); r.failed()) {
        return r;
    }
    auto converted = v.toInt32();
    if (!converted) {
        return notConvertible(name, "an integer");
    }
    value = *converted;
    return RigResult::ok();
}

RigResult LateBoundObject::getBool(const wchar_t* name, bool& value) {
    ComVariant v;
    if (auto r = get(name, v); r.failed()) {
        return r;
    }
    auto converted = v.toBool();
    if (!converted) {
        return notConvertible(name, "a boolean");
    }
    value = *converted;
    return RigResult::ok();
}

RigResult LateBoundObject::getText(const wchar_t* name, std::string& value) {
    ComVariant v;
    if (auto r = get(name, v); r.failed()) {
        return r;
    }
    auto converted = v.toText();
    if (!converted) {
        return notConvertible(name, "a text");
    }
    value = std::move(*converted);
    return RigResult::ok();
}

RigResult LateBoundObject::getObject(const wchar_t* name, ComRef<IDispatch>& value) {
    ComVariant v;
    if (auto r = get(name, v); r.failed()) {
        return r;
    }
    const VARIANT& raw = v.value();
    if (raw.vt == VT_DISPATCH && raw.pdispVal != nullptr) {
        value = ComRef<IDispatch>::share(raw.pdispVal);
        return RigResult::ok();
    }
    if (raw.vt != VT_UNKNOWN || raw.punkVal == nullptr) {
        return notConvertible(name, "an object");
    }
    const HRESULT hr = raw.punkVal->QueryInterface(IID_IDispatch, value.putVoid());
    if (FAILED(hr)) {
        return ComFailure::fromCall(hr, "The rig server's " + nameOf(name));
    }
    return RigResult::ok();
}

RigResult LateBoundObject::putInt(const wchar_t* name, int32_t value) {
    ComVariant v = ComVariant::fromInt(value);
    return put(name, v);
}

RigResult LateBoundObject::putBool(const wchar_t* name, bool value) {
    ComVariant v = ComVariant::fromBool(value);
    return put(name, v);
}

}  // namespace OmniRig
