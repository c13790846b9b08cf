// The event receiver called directly, as the runtime calls it for the server.
#include "OmniRigComEventSink.h"

#include <gtest/gtest.h>
#include <ocidl.h>

#include "ComRef.h"

using namespace OmniRig;

namespace {

struct Recorder : IOmniRigXEvents {
    std::vector<std::pair<int32_t, std::vector<Variant>>> got;
    std::function<void()> during;
    RigResult answer;
    RigResult Invoke(int32_t dispId, const std::vector<Variant>& args) override {
        got.emplace_back(dispId, args);
        if (during) {
            during();
        }
        return answer;
    }
};

const IID kEvents = {0x2219175F, 0xE561, 0x47E7, {0xAD, 0x17, 0x73, 0xC4, 0xD8, 0x89, 0x1A, 0xA1}};
const IID kServer = {0x501A2858, 0x3331, 0x467A, {0x83, 0x7A, 0x98, 0x9F, 0xDE, 0xDA, 0xCC, 0x7D}};

HRESULT invoke(IDispatch* sink, DISPID id, std::vector<VARIANT> lastFirst,
               std::vector<DISPID> named = {}) {
    DISPPARAMS params{lastFirst.empty() ? nullptr : lastFirst.data(),
                      named.empty() ? nullptr : named.data(), static_cast<UINT>(lastFirst.size()),
                      static_cast<UINT>(named.size())};
    VARIANT result;
    ::VariantInit(&result);
    return sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
}

VARIANT longValue(LONG v) {
    VARIANT out;
    out.vt = VT_I4;
    out.lVal = v;
    return out;
}

}  // namespace

TEST(OmniRigComEventSink, AnswersForTheEventInterfaceAndIDispatchOnly) {
    auto sink = ComRef<OmniRigComEventSink>::adopt(new OmniRigComEventSink(nullptr));
    for (const IID* iid : {&IID_IUnknown, &IID_IDispatch, &kEvents}) {
        ComRef<IUnknown> answered;
        EXPECT_EQ(sink->QueryInterface(*iid, answered.putVoid()), S_OK);
        EXPECT_EQ(answered.get(), static_cast<IUnknown*>(static_cast<IDispatch*>(sink.get())));
    }
    for (const IID* iid : {&kServer, &IID_IConnectionPoint, &IID_IClassFactory}) {
        ComRef<IUnknown> refused;
        EXPECT_EQ(sink->QueryInterface(*iid, refused.putVoid()), E_NOINTERFACE);
        EXPECT_FALSE(refused);
    }
}

TEST(OmniRigComEventSink, PutsArgumentsInDeclaredOrderAndRigNumberAndParamsIn32Bits) {
    auto recorder = std::make_shared<Recorder>();
    auto sink = ComRef<OmniRigComEventSink>::adopt(new OmniRigComEventSink(recorder));
    VARIANT rig;
    rig.vt = VT_R8;
    rig.dblVal = 1.0;
    VARIANT bits;
    bits.vt = VT_BSTR;
    bits.bstrVal = ::SysAllocString(L"4096");
    EXPECT_EQ(invoke(sink.get(), DISPID_ParamsChange, {bits, rig}), S_OK);
    ::VariantClear(&bits);

    // A custom reply by reference, and one with its arguments named by position.
    VARIANT reply = longValue(3);
    VARIANT replyReference;
    replyReference.vt = VT_BYREF | VT_VARIANT;
    replyReference.pvarVal = &reply;
    VARIANT shortRig;
    shortRig.vt = VT_I2;
    shortRig.iVal = 2;
    EXPECT_EQ(invoke(sink.get(), DISPID_CustomReply, {replyReference, longValue(9), shortRig}),
              S_OK);
    EXPECT_EQ(
        invoke(sink.get(), DISPID_CustomReply, {longValue(1), longValue(7), longValue(2)}, {1, 2}),
        S_OK);

    ASSERT_EQ(recorder->got.size(), 3u);
    EXPECT_EQ(recorder->got[0].first, DISPID_ParamsChange);
    EXPECT_EQ(recorder->got[0].second, (std::vector<Variant>{int32_t{1}, int32_t{4096}}));
    EXPECT_EQ(recorder->got[1].second, (std::vector<Variant>{int32_t{2}, int32_t{9}, int32_t{3}}));
    EXPECT_EQ(recorder->got[2].second, (std::vector<Variant>{int32_t{2}, int32_t{1}, int32_t{7}}));
}

TEST(OmniRigComEventSink, ReportsSuccessWhateverTheClientMakesOfTheEvent) {
    auto recorder = std::make_shared<Recorder>();
    auto sink = ComRef<OmniRigComEventSink>::adopt(new OmniRigComEventSink(recorder));
    recorder->answer = RigResult::fail(E_TYPE_MISMATCH, "RigNumber is not an integer");
    VARIANT text;
    text.vt = VT_BSTR;
    text.bstrVal = ::SysAllocString(L"one");
    EXPECT_EQ(invoke(sink.get(), DISPID_StatusChange, {text}), S_OK);
    ::VariantClear(&text);
    recorder->during = [] { throw std::runtime_error("handler failed"); };
    EXPECT_EQ(invoke(sink.get(), 77, {}), S_OK);
    EXPECT_EQ(recorder->got.size(), 2u);

    // A handler that lets go of the last reference to the receiver.
    IDispatch* raw = sink.get();
    recorder->during = [&] { sink.reset(); };
    EXPECT_EQ(invoke(raw, DISPID_VisibleChange, {}), S_OK);
    EXPECT_FALSE(sink);
}

TEST(OmniRigComEventSink, DetachedReceiverDropsEvents) {
    auto recorder = std::make_shared<Recorder>();
    auto sink = ComRef<OmniRigComEventSink>::adopt(new OmniRigComEventSink(recorder));
    sink->detach();
    EXPECT_EQ(invoke(sink.get(), DISPID_StatusChange, {longValue(1)}), S_OK);
    EXPECT_TRUE(recorder->got.empty());
    EXPECT_EQ(recorder.use_count(), 1);
}
