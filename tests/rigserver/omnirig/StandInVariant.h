#pragma once
// A VARIANT that the stand-in keeps: copied deeply, cleared on destruction.

#include <windows.h>

#include <oleauto.h>

#include <string>

namespace StandIn {

class StandInVariant {
public:
    StandInVariant() { ::VariantInit(&v_); }
    explicit StandInVariant(const VARIANT& value) : StandInVariant() {
        ::VariantCopyInd(&v_, const_cast<VARIANT*>(&value));
    }
    StandInVariant(const StandInVariant& other) : StandInVariant(other.v_) {}
    StandInVariant& operator=(const StandInVariant& other) {
        if (this != &other) {
            ::VariantClear(&v_);
            ::VariantCopy(&v_, const_cast<VARIANT*>(&other.v_));
        }
        return *this;
    }
    ~StandInVariant() { ::VariantClear(&v_); }

    static StandInVariant ofLong(LONG value) {
        StandInVariant v;
        v.v_.vt = VT_I4;
        v.v_.lVal = value;
        return v;
    }
    static StandInVariant ofText(const wchar_t* text) {
        StandInVariant v;
        v.v_.vt = VT_BSTR;
        v.v_.bstrVal = ::SysAllocString(text);
        return v;
    }

    VARIANT* get() { return &v_; }
    const VARIANT& value() const { return v_; }
    // The value as a text for the call record: booleans as true/false.
    std::wstring text() const {
        if (v_.vt == VT_BOOL) {
            return v_.boolVal == VARIANT_TRUE ? L"true"
                                              : (v_.boolVal == VARIANT_FALSE ? L"false" : L"bool?");
        }
        VARIANT s;
        ::VariantInit(&s);
        std::wstring out = L"?";
        if (SUCCEEDED(::VariantChangeType(&s, const_cast<VARIANT*>(&v_), 0, VT_BSTR))) {
            out.assign(s.bstrVal, ::SysStringLen(s.bstrVal));
        }
        ::VariantClear(&s);
        return out;
    }

private:
    VARIANT v_;
};

}  // namespace StandIn
