// The five events from the stand-in rig server in its own process to the client's handlers.
#include <gtest/gtest.h>

#include "MessagePump.h"
#include "OmniRigComServer.h"
#include "StandInSession.h"
#include "TOmniRigX.h"

using namespace OmniRig;
using namespace OmniRigTesting;
using Texts = std::vector<std::string>;

namespace {

class OmniRigComEventsTest : public StandInSession {
protected:
    void SetUp() override {
        StandInSession::SetUp();
        client_.Connect();
        ASSERT_EQ(control().subscriptions(), 1);
    }

    void attachAll() {
        client_.OnVisibleChange = [&](TOmniRigX* s) { record(s, "visible"); };
        client_.OnRigTypeChange = [&](TOmniRigX* s, int32_t n) {
            record(s, "type " + std::to_string(n));
        };
        client_.OnStatusChange = [&](TOmniRigX* s, int32_t n) {
            record(s, "status " + std::to_string(n));
        };
        attachParams();
        client_.OnCustomReply = [&](TOmniRigX* s, int32_t n, const Variant& c, const Variant& r) {
            record(s, "reply " + std::to_string(n));
            commands_.push_back(c);
            replies_.push_back(r);
        };
    }
    void attachParams() {
        client_.OnParamsChange = [&](TOmniRigX* s, int32_t n, int32_t p) {
            record(s, "params " + std::to_string(n) + " " + std::to_string(p));
        };
    }
    void record(TOmniRigX* sender, const std::string& what) {
        EXPECT_EQ(sender, &client_);
        got_.push_back(what);
    }
    bool arrived(size_t count) {
        return pumpUntil([&] { return got_.size() >= count; });
    }
    // The stand-in notes an event's result once the reply to it is back, and it may answer a
    // call of ours before that: its results are awaited like the events.
    Texts results(size_t count) {
        Texts seen;
        pumpUntil([&] {
            seen = control().eventResults();
            return seen.size() >= count;
        });
        return seen;
    }

    TOmniRigX client_{OmniRigComServer::factory()};
    Texts got_;
    std::vector<Variant> commands_;
    std::vector<Variant> replies_;
};

VARIANT of(LONG v) {
    return StandInControl::longValue(v);
}

}  // namespace

TEST_F(OmniRigComEventsTest, ParamsChangeArrivesWithRigNumberAndBitsInDeclaredOrder) {
    attachParams();
    // Rig 1 with bits other than 2: swapped arguments would show.
    control().raiseEvent(DISPID_ParamsChange, {of(1), of(VFOB | SPLITON | FREQB)}, true);
    ASSERT_TRUE(arrived(1));
    EXPECT_EQ(got_, (Texts{"params 1 36872"}));
    // Also when it arrives inside an outgoing call, with the bits as every parameter.
    control().raiseEvent(DISPID_ParamsChange, {of(2), of(ALL_PARAMS)});
    EXPECT_EQ(got_, (Texts{"params 1 36872", "params 2 2147483647"}));
    EXPECT_EQ(results(2), (Texts{"0x00000000", "0x00000000"}));
}

TEST_F(OmniRigComEventsTest, EveryEventReachesItsHandlerWithItsArgumentsConverted) {
    attachAll();
    VARIANT rigAsText = StandInControl::textValue(L"2");
    VARIANT rigAsShort;
    rigAsShort.vt = VT_I2;
    rigAsShort.iVal = 1;
    VARIANT bitsAsReal;
    bitsAsReal.vt = VT_R8;
    bitsAsReal.dblVal = static_cast<double>(TX);
    VARIANT command = StandInControl::bytesValue({0x46, 0x41, 0x3B}, 0);
    VARIANT reply = StandInControl::bytesValue({0x46, 0x41, 0x30, 0x3B}, 1);
    VARIANT textReply = StandInControl::textValue(L"FA;");

    control().raiseEvent(DISPID_VisibleChange, {}, true);
    control().raiseEvent(DISPID_RigTypeChange, {rigAsText}, true);
    control().raiseEvent(DISPID_StatusChange, {rigAsShort}, true);
    control().raiseEvent(DISPID_ParamsChange, {rigAsShort, bitsAsReal}, true);
    control().raiseEvent(DISPID_CustomReply, {of(2), command, reply}, true);
    control().raiseEvent(DISPID_CustomReply, {of(1), command, textReply}, true);
    ASSERT_TRUE(arrived(6));

    EXPECT_EQ(got_,
              (Texts{"visible", "type 2", "status 1", "params 1 4194304", "reply 2", "reply 1"}));
    EXPECT_EQ(commands_[0], Variant(ByteArray{0, {0x46, 0x41, 0x3B}}));
    EXPECT_EQ(replies_[0], Variant(ByteArray{1, {0x46, 0x41, 0x30, 0x3B}}));
    EXPECT_EQ(replies_[1], Variant("FA;"));
    EXPECT_EQ(results(6), Texts(6, "0x00000000"));
    for (VARIANT* v : {&rigAsText, &command, &reply, &textReply}) {
        ::VariantClear(v);
    }
}

TEST_F(OmniRigComEventsTest, EmptyHandlersAndUnknownIdsAreDroppedWithSuccess) {
    attachParams();
    control().raiseEvent(DISPID_VisibleChange, {}, true);
    control().raiseEvent(DISPID_StatusChange, {of(1)}, true);
    control().raiseEvent(DISPID_CustomReply, {of(1), of(0), of(0)}, true);
    control().raiseEvent(0, {of(1), of(FREQA)}, true);
    control().raiseEvent(6, {of(1), of(FREQA)}, true);
    control().raiseEvent(-600, {}, true);
    // Delivered in order: once this one is here, the others have been handled.
    control().raiseEvent(DISPID_ParamsChange, {of(2), of((USB | VFOA))}, true);
    ASSERT_TRUE(arrived(1));
    EXPECT_EQ(got_, (Texts{"params 2 " + std::to_string((USB | VFOA))}));
    EXPECT_EQ(results(7), Texts(7, "0x00000000"));
}

TEST_F(OmniRigComEventsTest, NoEventAfterDisconnect) {
    attachAll();
    client_.Disconnect();
    EXPECT_EQ(control().subscriptions(), 0);
    control().raiseEvent(DISPID_StatusChange, {of(1)});
    control().raiseEvent(DISPID_ParamsChange, {of(1), of(FREQA)});
    EXPECT_TRUE(got_.empty());
    EXPECT_TRUE(control().eventResults().empty());
}
