#pragma once
// An automation VARIANT that clears itself, and its translation into the contract's Variant.

#include <windows.h>

#include <oleauto.h>

#include <optional>
#include <string>

#include "Variant.h"

namespace OmniRig {

class ComVariant {
public:
    ComVariant() { ::VariantInit(&v_); }
    ~ComVariant() { ::VariantClear(&v_); }
    ComVariant(ComVariant&& other) noexcept : v_(other.v_) { ::VariantInit(&other.v_); }
    ComVariant(const ComVariant&) = delete;
    ComVariant& operator=(const ComVariant&) = delete;
    ComVariant& operator=(ComVariant&&) = delete;

    static ComVariant fromInt(int32_t value);
    static ComVariant fromBool(bool value);

    VARIANT* get() { return &v_; }
    const VARIANT& value() const { return v_; }
    // Clears the present value and hands out the slot for an out-parameter.
    VARIANT* put() {
        ::VariantClear(&v_);
        return &v_;
    }

    // The value as the runtime would coerce it to the type, or nothing when it cannot.
    std::optional<int32_t> toInt32() const;
    std::optional<bool> toBool() const;
    std::optional<std::string> toText() const;

    // The contract's form of any automation value: empty, boolean, 32-bit integer (integers of
    // other widths within its range become one, others reals), real (currency, decimal and date
    // too), text, or a one-dimensional array of bytes with its bounds. Values it has no form for
    // (objects, arrays of other elements or of several dimensions) become empty.
    static Variant toContract(const VARIANT& value);

private:
    VARIANT v_;
};

}  // namespace OmniRig
