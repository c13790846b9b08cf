#include "StandInControl.h"

#include <gtest/gtest.h>
#include <oleauto.h>

#include <algorithm>
#include <sstream>

#include "ComText.h"

namespace OmniRigTesting {

namespace {

std::vector<std::string> lines(BSTR text) {
    std::vector<std::string> out;
    std::istringstream in(OmniRig::ComText::toUtf8(text));
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

// The arguments as one VARIANT array (copies; the caller's values stay the caller's).
VARIANT arrayOf(const std::vector<VARIANT>& args) {
    VARIANT v;
    ::VariantInit(&v);
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(args.size()));
    for (LONG i = 0; i < static_cast<LONG>(args.size()); ++i) {
        ::SafeArrayPutElement(array, &i, const_cast<VARIANT*>(&args[static_cast<size_t>(i)]));
    }
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = array;
    return v;
}

}  // namespace

StandInControl StandInControl::attach() {
    OmniRig::ComRef<IUnknown> object;
    HRESULT hr = ::GetActiveObject(StandIn::kServerClass, nullptr, object.put());
    EXPECT_EQ(hr, S_OK) << "no stand-in runs";
    OmniRig::ComRef<IDispatch> dispatch;
    if (SUCCEEDED(hr)) {
        object.queryInterface(StandIn::kControlInterface, dispatch);
    }
    return StandInControl(std::move(dispatch));
}

VARIANT StandInControl::call(DISPID member, WORD flags, std::vector<VARIANT> args) {
    VARIANT result;
    ::VariantInit(&result);
    if (!server_) {
        ADD_FAILURE() << "no stand-in to control";
        return result;
    }
    std::reverse(args.begin(), args.end());
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()),
                      0};
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const HRESULT hr = server_->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                       &result, &exception, &argumentError);
    EXPECT_EQ(hr, S_OK) << "stand-in control " << member << " failed";
    return result;
}

DWORD StandInControl::processId() {
    VARIANT v = call(StandIn::ProcessId, DISPATCH_PROPERTYGET, {});
    return static_cast<DWORD>(v.lVal);
}

bool StandInControl::startedByRuntime() {
    VARIANT v = call(StandIn::StartedByRuntime, DISPATCH_PROPERTYGET, {});
    return v.vt == VT_BOOL && v.boolVal != VARIANT_FALSE;
}

std::vector<std::string> StandInControl::calls() {
    VARIANT v = call(StandIn::Calls, DISPATCH_PROPERTYGET, {});
    auto out = lines(v.vt == VT_BSTR ? v.bstrVal : nullptr);
    ::VariantClear(&v);
    return out;
}

void StandInControl::clearCalls() {
    call(StandIn::ClearCalls, DISPATCH_METHOD, {});
}

void StandInControl::failCall(const std::wstring& prefix, HRESULT code,
                              const std::wstring& description, StandIn::FailStyle style,
                              LONG times) {
    VARIANT p = textValue(prefix.c_str());
    VARIANT d = textValue(description.c_str());
    call(StandIn::FailCall, DISPATCH_METHOD,
         {p, longValue(code), d, longValue(style), longValue(times)});
    ::VariantClear(&p);
    ::VariantClear(&d);
}

void StandInControl::refuseSubscription(StandIn::Refusal how) {
    call(StandIn::RefuseSubscription, DISPATCH_METHOD, {longValue(how)});
}

LONG StandInControl::subscriptions() {
    return call(StandIn::Subscriptions, DISPATCH_PROPERTYGET, {}).lVal;
}

std::vector<std::string> StandInControl::eventResults() {
    VARIANT v = call(StandIn::EventResults, DISPATCH_PROPERTYGET, {});
    auto out = lines(v.vt == VT_BSTR ? v.bstrVal : nullptr);
    ::VariantClear(&v);
    return out;
}

void StandInControl::raiseEvent(DISPID event, const std::vector<VARIANT>& args, bool later) {
    VARIANT list = arrayOf(args);
    VARIANT when;
    when.vt = VT_BOOL;
    when.boolVal = later ? VARIANT_TRUE : VARIANT_FALSE;
    call(StandIn::RaiseEvent, DISPATCH_METHOD, {longValue(event), list, when});
    ::VariantClear(&list);
}

void StandInControl::raiseOnNextCall(const std::wstring& prefix, DISPID event,
                                     const std::vector<VARIANT>& args) {
    VARIANT p = textValue(prefix.c_str());
    VARIANT list = arrayOf(args);
    call(StandIn::RaiseOnNextCall, DISPATCH_METHOD, {p, longValue(event), list});
    ::VariantClear(&p);
    ::VariantClear(&list);
}

void StandInControl::setValue(const std::wstring& key, const VARIANT& value) {
    VARIANT k = textValue(key.c_str());
    call(StandIn::SetValue, DISPATCH_METHOD, {k, value});
    ::VariantClear(&k);
}

void StandInControl::quit() {
    call(StandIn::Quit, DISPATCH_METHOD, {});
    server_.reset();
}

VARIANT StandInControl::longValue(LONG v) {
    VARIANT out;
    ::VariantInit(&out);
    out.vt = VT_I4;
    out.lVal = v;
    return out;
}

VARIANT StandInControl::textValue(const wchar_t* text) {
    VARIANT out;
    ::VariantInit(&out);
    out.vt = VT_BSTR;
    out.bstrVal = ::SysAllocString(text);
    return out;
}

VARIANT StandInControl::bytesValue(const std::vector<unsigned char>& bytes, LONG lowBound) {
    VARIANT out;
    ::VariantInit(&out);
    SAFEARRAYBOUND bound{static_cast<ULONG>(bytes.size()), lowBound};
    SAFEARRAY* array = ::SafeArrayCreate(VT_UI1, 1, &bound);
    void* data = nullptr;
    ::SafeArrayAccessData(array, &data);
    std::copy(bytes.begin(), bytes.end(), static_cast<unsigned char*>(data));
    ::SafeArrayUnaccessData(array);
    out.vt = VT_ARRAY | VT_UI1;
    out.parray = array;
    return out;
}

}  // namespace OmniRigTesting
