#include "ComVariant.h"

#include <limits>

#include "ComText.h"

namespace OmniRig {

namespace {

std::optional<ByteArray> byteArrayOf(SAFEARRAY* array) {
    if (array == nullptr || ::SafeArrayGetDim(array) != 1 || ::SafeArrayGetElemsize(array) != 1) {
        return std::nullopt;
    }
    LONG low = 0;
    LONG high = -1;
    if (FAILED(::SafeArrayGetLBound(array, 1, &low)) ||
        FAILED(::SafeArrayGetUBound(array, 1, &high))) {
        return std::nullopt;
    }
    ByteArray bytes;
    bytes.lowBound = low;
    const LONGLONG count = static_cast<LONGLONG>(high) - low + 1;
    if (count <= 0) {
        return bytes;
    }
    void* data = nullptr;
    if (FAILED(::SafeArrayAccessData(array, &data))) {
        return std::nullopt;
    }
    const auto* first = static_cast<const uint8_t*>(data);
    bytes.data.assign(first, first + count);
    ::SafeArrayUnaccessData(array);
    return bytes;
}

template <typename T>
Variant fromWide(T i) {
    if (i >= std::numeric_limits<int32_t>::min() && i <= std::numeric_limits<int32_t>::max()) {
        return Variant(static_cast<int32_t>(i));
    }
    return Variant(static_cast<double>(i));
}

}  // namespace

ComVariant ComVariant::fromInt(int32_t value) {
    ComVariant v;
    v.v_.vt = VT_I4;
    v.v_.lVal = value;
    return v;
}

ComVariant ComVariant::fromBool(bool value) {
    ComVariant v;
    v.v_.vt = VT_BOOL;
    v.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

std::optional<int32_t> ComVariant::toInt32() const {
    ComVariant converted;
    if (FAILED(::VariantChangeType(converted.get(), const_cast<VARIANT*>(&v_), 0, VT_I4))) {
        return std::nullopt;
    }
    return converted.v_.lVal;
}

std::optional<bool> ComVariant::toBool() const {
    ComVariant converted;
    if (FAILED(::VariantChangeType(converted.get(), const_cast<VARIANT*>(&v_), 0, VT_BOOL))) {
        return std::nullopt;
    }
    return converted.v_.boolVal != VARIANT_FALSE;
}

std::optional<std::string> ComVariant::toText() const {
    if (v_.vt == VT_BSTR) {
        return ComText::toUtf8(v_.bstrVal);
    }
    ComVariant converted;
    if (FAILED(::VariantChangeType(converted.get(), const_cast<VARIANT*>(&v_), 0, VT_BSTR))) {
        return std::nullopt;
    }
    return ComText::toUtf8(converted.v_.bstrVal);
}

Variant ComVariant::toContract(const VARIANT& value) {
    if (value.vt & VT_BYREF) {
        if (value.vt == (VT_VARIANT | VT_BYREF)) {
            return value.pvarVal == nullptr ? Variant() : toContract(*value.pvarVal);
        }
        ComVariant direct;
        if (FAILED(::VariantCopyInd(direct.get(), const_cast<VARIANT*>(&value)))) {
            return Variant();
        }
        return toContract(direct.value());
    }
    if (value.vt & VT_ARRAY) {
        const VARTYPE element = value.vt & VT_TYPEMASK;
        if (element == VT_UI1 || element == VT_I1) {
            if (auto bytes = byteArrayOf(value.parray)) {
                return Variant(std::move(*bytes));
            }
        }
        return Variant();
    }
    switch (value.vt) {
        case VT_BOOL:
            return Variant(value.boolVal != VARIANT_FALSE);
        case VT_I1:
            return Variant(int32_t{value.cVal});
        case VT_UI1:
            return Variant(int32_t{value.bVal});
        case VT_I2:
            return Variant(int32_t{value.iVal});
        case VT_UI2:
            return Variant(int32_t{value.uiVal});
        case VT_I4:
        case VT_INT:
            return Variant(static_cast<int32_t>(value.lVal));
        case VT_UI4:
        case VT_UINT:
            return fromWide(static_cast<LONGLONG>(value.ulVal));
        case VT_I8:
            return fromWide(value.llVal);
        case VT_UI8:
            return value.ullVal > static_cast<ULONGLONG>(std::numeric_limits<int32_t>::max())
                       ? Variant(static_cast<double>(value.ullVal))
                       : Variant(static_cast<int32_t>(value.ullVal));
        case VT_R4:
            return Variant(static_cast<double>(value.fltVal));
        case VT_R8:
            return Variant(value.dblVal);
        case VT_CY:
        case VT_DECIMAL:
        case VT_DATE: {
            ComVariant real;
            if (FAILED(::VariantChangeType(real.get(), const_cast<VARIANT*>(&value), 0, VT_R8))) {
                return Variant();
            }
            return Variant(real.value().dblVal);
        }
        case VT_BSTR:
            return Variant(ComText::toUtf8(value.bstrVal));
        default:
            return Variant();
    }
}

}  // namespace OmniRig
