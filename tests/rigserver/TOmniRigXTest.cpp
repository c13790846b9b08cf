#include "TOmniRigX.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "RigServerError.h"
#include "ScriptedRigServer.h"

using namespace OmniRig;
using OmniRig::Testing::ScriptedRigServer;

namespace {

struct Received {
    std::vector<std::string> events;
};

void attachAll(TOmniRigX& client, Received& got) {
    client.OnVisibleChange = [&](TOmniRigX*) { got.events.push_back("visible"); };
    client.OnRigTypeChange = [&](TOmniRigX*, int32_t n) {
        got.events.push_back("type " + std::to_string(n));
    };
    client.OnStatusChange = [&](TOmniRigX*, int32_t n) {
        got.events.push_back("status " + std::to_string(n));
    };
    client.OnParamsChange = [&](TOmniRigX*, int32_t n, int32_t p) {
        got.events.push_back("params " + std::to_string(n) + " " + std::to_string(p));
    };
    client.OnCustomReply = [&](TOmniRigX*, int32_t n, const Variant& c, const Variant& r) {
        got.events.push_back("reply " + std::to_string(n) + (c == r ? " same" : " differ"));
    };
}

}  // namespace

TEST(TOmniRigX, DeliversEachEventToItsHandlerWithConvertedArguments) {
    auto server = std::make_shared<ScriptedRigServer>();
    TOmniRigX client(server->factory());
    Received got;
    attachAll(client, got);
    client.Connect();
    ASSERT_TRUE(server->subscribed());

    server->raise(DISPID_VisibleChange, {});
    server->raise(DISPID_RigTypeChange, {Variant(int32_t{2})});
    server->raise(DISPID_StatusChange, {Variant(1.0)});
    // Rig 1 with bits other than 2: swapped arguments would show.
    server->raise(DISPID_ParamsChange, {Variant(int32_t{1}), Variant("4096")});
    server->raise(DISPID_CustomReply,
                  {Variant(int32_t{2}), Variant(ByteArray{0, {1}}), Variant(ByteArray{0, {2}})});

    EXPECT_EQ(got.events, (std::vector<std::string>{"visible", "type 2", "status 1",
                                                    "params 1 4096", "reply 2 differ"}));
}

TEST(TOmniRigX, DropsUnknownIdsEventsWithoutHandlerAndUnconvertibleArguments) {
    auto server = std::make_shared<ScriptedRigServer>();
    TOmniRigX client(server->factory());
    Received got;
    client.OnParamsChange = [&](TOmniRigX*, int32_t n, int32_t p) {
        got.events.push_back("params " + std::to_string(n) + " " + std::to_string(p));
    };
    client.Connect();

    EXPECT_FALSE(server->raise(0, {Variant(int32_t{1})}).failed());
    EXPECT_FALSE(server->raise(6, {Variant(int32_t{1}), Variant(int32_t{2})}).failed());
    EXPECT_FALSE(server->raise(DISPID_StatusChange, {Variant(int32_t{1})}).failed());
    EXPECT_TRUE(server->raise(DISPID_ParamsChange, {Variant("x"), Variant(int32_t{2})}).failed());
    EXPECT_TRUE(server->raise(DISPID_ParamsChange, {Variant(int32_t{1})}).failed());
    EXPECT_TRUE(got.events.empty());
}

TEST(TOmniRigX, RaisesRigServerErrorWithCodeAndDescription) {
    auto server = std::make_shared<ScriptedRigServer>();
    server->failCall("rig2.Frequency=", E_INVALID_ARGUMENT, "Frequency out of range");
    TOmniRigX client(server->factory());

    RigObject rig2 = client.RigObject2();
    try {
        rig2.SetFrequency(-5);
        FAIL() << "no error raised";
    } catch (const RigServerError& e) {
        EXPECT_EQ(e.code(), E_INVALID_ARGUMENT);
        EXPECT_STREQ(e.what(), "Frequency out of range");
    }
    server->failCall("RigObject1", E_FAILURE, "");
    try {
        client.RigObject1();
        FAIL() << "no error raised";
    } catch (const RigServerError& e) {
        EXPECT_EQ(e.code(), E_FAILURE);
        EXPECT_NE(std::string(e.what()).find("0x80004005"), std::string::npos);
    }
}

TEST(TOmniRigX, ConnectsOnFirstUseOnceAndWithoutServerRaises) {
    auto server = std::make_shared<ScriptedRigServer>();
    TOmniRigX client(server->factory());
    client.RigObject1().Frequency();
    client.RigObject2();
    client.Connect();
    EXPECT_EQ(server->calls, (std::vector<std::string>{"Connect", "Advise", "RigObject1",
                                                       "rig1.Frequency?", "RigObject2"}));

    TOmniRigX orphan(nullptr);
    EXPECT_THROW(orphan.Connect(), RigServerError);
    EXPECT_FALSE(orphan.Connected());

    auto down = std::make_shared<ScriptedRigServer>();
    down->failCall("Connect", E_CLASS_NOT_REGISTERED, "The rig server cannot be started");
    TOmniRigX refused(down->factory());
    EXPECT_THROW(refused.RigObject1(), RigServerError);
}

TEST(TOmniRigX, RefusedSubscriptionStillServesEveryOperation) {
    auto server = std::make_shared<ScriptedRigServer>();
    server->refuseSubscription();
    TOmniRigX client(server->factory());
    Received got;
    attachAll(client, got);

    client.Connect();
    EXPECT_TRUE(client.Connected());
    EXPECT_FALSE(server->subscribed());
    client.SetSettingsDialogVisible(true);
    EXPECT_TRUE(client.SettingsDialogVisible());
    auto rig = client.RigObject1();
    rig.SetVfoBits(VFOB);
    rig.SetFrequency(14'250'000);
    EXPECT_EQ(rig.Frequency(), 14'250'000);
    EXPECT_EQ(rig.FrequencyB(), 14'250'000);
    server->raise(DISPID_StatusChange, {Variant(int32_t{1})});
    EXPECT_TRUE(got.events.empty());
}

TEST(TOmniRigX, DisconnectEndsSubscriptionAndLateEventsAreDropped) {
    auto server = std::make_shared<ScriptedRigServer>();
    Received got;
    {
        TOmniRigX client(server->factory());
        attachAll(client, got);
        client.Connect();
    }
    EXPECT_FALSE(server->subscribed());
    EXPECT_EQ(server->calls.back(), "Unadvise");
    server->raise(DISPID_VisibleChange, {});
    EXPECT_TRUE(got.events.empty());
}

TEST(TOmniRigX, HandlerErrorIsReportedToTheServerNotThrownIntoIt) {
    auto server = std::make_shared<ScriptedRigServer>();
    TOmniRigX client(server->factory());
    client.OnStatusChange = [](TOmniRigX*, int32_t) { throw RigServerError(E_FAILURE, "boom"); };
    client.Connect();
    RigResult r;
    EXPECT_NO_THROW(r = server->raise(DISPID_StatusChange, {Variant(int32_t{1})}));
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.description, "boom");
}

TEST(TOmniRigX, AnEventInsideTheSubscriptionFindsTheClientConnected) {
    auto server = std::make_shared<ScriptedRigServer>();
    TOmniRigX client(server->factory());
    int32_t frequency = 0;
    client.OnStatusChange = [&](TOmniRigX* sender, int32_t) {
        frequency = sender->RigObject1().Frequency();
    };
    server->duringAdvise = [&] { server->raise(DISPID_StatusChange, {Variant(int32_t{1})}); };
    client.Connect();
    EXPECT_EQ(frequency, 14'000'000);
    EXPECT_EQ(std::count(server->calls.begin(), server->calls.end(), "Connect"), 1);
    EXPECT_EQ(std::count(server->calls.begin(), server->calls.end(), "Advise"), 1);
}
