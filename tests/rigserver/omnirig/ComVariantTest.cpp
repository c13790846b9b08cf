// Automation values in the contract's form, and the coercions of property reads.
#include "ComVariant.h"

#include <gtest/gtest.h>

#include <limits>

using namespace OmniRig;

namespace {

VARIANT bytes(std::vector<uint8_t> data, LONG low, VARTYPE element = VT_UI1) {
    SAFEARRAYBOUND bound{static_cast<ULONG>(data.size()), low};
    SAFEARRAY* array = ::SafeArrayCreate(element, 1, &bound);
    if (!data.empty()) {
        void* p = nullptr;
        ::SafeArrayAccessData(array, &p);
        std::copy(data.begin(), data.end(), static_cast<uint8_t*>(p));
        ::SafeArrayUnaccessData(array);
    }
    VARIANT v;
    v.vt = VT_ARRAY | element;
    v.parray = array;
    return v;
}

}  // namespace

TEST(ComVariant, ByteArraysKeepTheirBoundsAndOtherArraysBecomeEmpty) {
    VARIANT fromOne = bytes({0x10, 0x1B, 0xFF}, 1);
    EXPECT_EQ(ComVariant::toContract(fromOne), Variant(ByteArray{1, {0x10, 0x1B, 0xFF}}));
    VARIANT empty = bytes({}, 0);
    const Variant none = ComVariant::toContract(empty);
    ASSERT_NE(none.byteArray(), nullptr);
    EXPECT_EQ(none.byteArray()->highBound(), -1);
    VARIANT byReference;
    byReference.vt = VT_ARRAY | VT_UI1 | VT_BYREF;
    byReference.pparray = &fromOne.parray;
    EXPECT_EQ(ComVariant::toContract(byReference), Variant(ByteArray{1, {0x10, 0x1B, 0xFF}}));

    VARIANT longs = bytes({}, 0, VT_I4);
    EXPECT_TRUE(ComVariant::toContract(longs).isEmpty());
    SAFEARRAYBOUND square[2] = {{2, 0}, {2, 0}};
    VARIANT twoDimensions;
    twoDimensions.vt = VT_ARRAY | VT_UI1;
    twoDimensions.parray = ::SafeArrayCreate(VT_UI1, 2, square);
    EXPECT_TRUE(ComVariant::toContract(twoDimensions).isEmpty());
    for (VARIANT* v : {&fromOne, &empty, &longs, &twoDimensions}) {
        ::VariantClear(v);
    }
}

TEST(ComVariant, ScalarsKeepTheirKindAndTextsBecomeUtf8) {
    VARIANT v;
    v.vt = VT_I2;
    v.iVal = -7;
    EXPECT_EQ(ComVariant::toContract(v), Variant(int32_t{-7}));
    v.vt = VT_UI4;
    v.ulVal = 4'000'000'000u;
    EXPECT_EQ(ComVariant::toContract(v), Variant(4'000'000'000.0));
    v.vt = VT_I8;
    v.llVal = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(ComVariant::toContract(v), Variant(std::numeric_limits<int32_t>::min()));
    v.vt = VT_R8;
    v.dblVal = 2.0;
    EXPECT_EQ(ComVariant::toContract(v), Variant(2.0));
    v.vt = VT_BOOL;
    v.boolVal = VARIANT_TRUE;
    EXPECT_EQ(ComVariant::toContract(v), Variant(true));
    v.vt = VT_NULL;
    EXPECT_TRUE(ComVariant::toContract(v).isEmpty());

    VARIANT text;
    text.vt = VT_BSTR;
    text.bstrVal = ::SysAllocStringLen(L"\u00C4a\0b", 4);
    EXPECT_EQ(ComVariant::toContract(text), Variant(std::string("\xC3\x84"
                                                                "a\0b",
                                                                5)));
    VARIANT inner;
    inner.vt = VT_BYREF | VT_VARIANT;
    inner.pvarVal = &text;
    EXPECT_EQ(ComVariant::toContract(inner), Variant(std::string("\xC3\x84"
                                                                 "a\0b",
                                                                 5)));
    ::VariantClear(&text);
}

TEST(ComVariant, ReadsCoerceAsTheRuntimeDoes) {
    ComVariant text;
    text.get()->vt = VT_BSTR;
    text.get()->bstrVal = ::SysAllocString(L"7010000");
    EXPECT_EQ(text.toInt32(), 7'010'000);
    ComVariant word;
    word.get()->vt = VT_BSTR;
    word.get()->bstrVal = ::SysAllocString(L"many");
    EXPECT_EQ(word.toInt32(), std::nullopt);
    ComVariant big;
    big.get()->vt = VT_R8;
    big.get()->dblVal = 3e10;
    EXPECT_EQ(big.toInt32(), std::nullopt);
    EXPECT_EQ(ComVariant::fromInt(0).toBool(), false);
    EXPECT_EQ(ComVariant::fromBool(true).toInt32(), -1);
    EXPECT_EQ(ComVariant::fromInt(-42).toText(), "-42");
}
