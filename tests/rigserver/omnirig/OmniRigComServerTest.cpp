// The Windows back end against the stand-in rig server in its own process: connecting, every
// property, failures, and calls that an event handler interrupts.
#include "OmniRigComServer.h"

#include <gtest/gtest.h>

#include <thread>

#include "ComApartment.h"
#include "RigServerError.h"
#include "StandInSession.h"
#include "TOmniRigX.h"

using namespace OmniRig;
using namespace OmniRigTesting;
using Calls = std::vector<std::string>;

namespace {

class OmniRigComServerTest : public StandInSession {};

VARIANT of(LONG v) {
    return StandInControl::longValue(v);
}

void expectError(const std::function<void()>& call, HRESULT code, const std::string& text) {
    try {
        call();
        ADD_FAILURE() << "no RigServerError";
    } catch (const RigServerError& e) {
        EXPECT_EQ(static_cast<uint32_t>(e.code()), static_cast<uint32_t>(code));
        EXPECT_EQ(std::string(e.what()), text);
    }
}

}  // namespace

TEST_F(OmniRigComServerTest, AttachesToTheRunningServerOnASingleThreadedApartment) {
    StandInProcess process = StandInProcess::start();
    ASSERT_TRUE(process.valid());
    TOmniRigX client(OmniRigComServer::factory());
    client.Connect();

    EXPECT_EQ(control().processId(), process.id());
    EXPECT_FALSE(control().startedByRuntime());
    EXPECT_EQ(control().calls(), (Calls{"FindConnectionPoint", "Advise"}));
    EXPECT_EQ(control().subscriptions(), 1);
    // The factory made this thread a single-threaded apartment.
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
}

TEST_F(OmniRigComServerTest, StartsTheServerAndDisconnectLetsItEnd) {
    TOmniRigX client(OmniRigComServer::factory());
    client.Connect();
    ASSERT_TRUE(control().startedByRuntime());
    StandInProcess process(control().processId());
    EXPECT_EQ(control().subscriptions(), 1);
    EXPECT_EQ(client.RigObject1().Frequency(), 14'000'000);

    client.Disconnect();
    EXPECT_EQ(control().subscriptions(), 0);
    EXPECT_EQ(control().calls().back(), "Unadvise");
    // With our references gone the server, started for us, has no client left and ends.
    releaseControl();
    EXPECT_TRUE(process.waitForExit()) << "a reference to the server was kept";
}

TEST_F(OmniRigComServerTest, EveryPropertyReadAndWriteReachesTheServerWithItsValue) {
    TOmniRigX client(OmniRigComServer::factory());
    client.Connect();
    VARIANT type = StandInControl::textValue(L"Test rig \u00C4\u03A9");
    control().setValue(L"rig2.TypeText", type);
    ::VariantClear(&type);
    VARIANT status = StandInControl::textValue(L"Rig is not responding");
    control().setValue(L"rig2.StatusText", status);
    ::VariantClear(&status);
    control().setValue(L"rig2.StatusCode", of(3));
    control().setValue(L"rig2.Frequency", of(7'012'345));
    control().setValue(L"rig2.FrequencyA", of(7'012'345));
    control().setValue(L"rig2.FrequencyB", of(7'100'500));
    control().setValue(L"rig2.SplitBits", of(SPLITON));
    control().setValue(L"rig2.ModeBits", of(CW));
    control().clearCalls();

    RigObject rig = client.RigObject2();
    EXPECT_EQ(rig.TypeText(), "Test rig \xC3\x84\xCE\xA9");
    EXPECT_EQ(rig.StatusCode(), 3);
    EXPECT_EQ(rig.StatusText(), "Rig is not responding");
    EXPECT_EQ(rig.Frequency(), 7'012'345);
    EXPECT_EQ(rig.FrequencyA(), 7'012'345);
    EXPECT_EQ(rig.FrequencyB(), 7'100'500);
    EXPECT_EQ(rig.SplitBits(), SPLITON);
    EXPECT_EQ(rig.ModeBits(), CW);
    rig.SetVfoBits(VFOB);
    rig.SetFrequency(14'074'000);
    rig.SetModeBits(DIG);
    rig.SetSplitBits(SPLITOFF);
    rig.SetRitBits(RITOFF);
    client.SetSettingsDialogVisible(true);
    EXPECT_TRUE(client.SettingsDialogVisible());
    client.RigObject1().SetFrequency(-1);

    EXPECT_EQ(control().calls(),
              (Calls{"RigObject2?", "rig2.TypeText?", "rig2.StatusCode?", "rig2.StatusText?",
                     "rig2.Frequency?", "rig2.FrequencyA?", "rig2.FrequencyB?", "rig2.SplitBits?",
                     "rig2.ModeBits?", "rig2.VfoBits=4096", "rig2.Frequency=14074000",
                     "rig2.ModeBits=134217728", "rig2.SplitBits=65536", "rig2.RitBits=262144",
                     "SettingsDialogVisible=true", "SettingsDialogVisible?", "RigObject1?",
                     "rig1.Frequency=-1"}));
}

TEST_F(OmniRigComServerTest, ReadsCoerceTheServersValueTypesOrFailWithTypeMismatch) {
    TOmniRigX client(OmniRigComServer::factory());
    client.Connect();
    VARIANT code = StandInControl::textValue(L"4");
    control().setValue(L"rig1.StatusCode", code);
    ::VariantClear(&code);
    VARIANT real;
    real.vt = VT_R8;
    real.dblVal = 3'573'000.0;
    control().setValue(L"rig1.Frequency", real);
    VARIANT small;
    small.vt = VT_UI2;
    small.uiVal = 42;
    control().setValue(L"rig1.TypeText", small);
    VARIANT junk = StandInControl::textValue(L"fourteen MHz");
    control().setValue(L"rig1.FrequencyA", junk);
    ::VariantClear(&junk);

    RigObject rig = client.RigObject1();
    EXPECT_EQ(rig.StatusCode(), 4);
    EXPECT_EQ(rig.Frequency(), 3'573'000);
    EXPECT_EQ(rig.TypeText(), "42");
    expectError([&] { rig.FrequencyA(); }, DISP_E_TYPEMISMATCH,
                "The rig server's FrequencyA is not an integer");
}

TEST_F(OmniRigComServerTest, FailureCodesAndDescriptionsRaiseRigServerError) {
    TOmniRigX client(OmniRigComServer::factory());
    client.Connect();
    control().failCall(L"rig2.Frequency=", E_INVALIDARG, L"Frequency out of range",
                       StandIn::kExceptionInfo, 1);
    control().failCall(L"rig1.StatusText?", static_cast<HRESULT>(0x80040155),
                       L"Rig 1 is not configured", StandIn::kExceptionInfo, 1);
    control().failCall(L"SettingsDialogVisible=", E_ACCESSDENIED, L"", StandIn::kExceptionInfo, 1);

    RigObject rig2 = client.RigObject2();
    control().failCall(L"RigObject2?", static_cast<HRESULT>(1001), L"Rig 2 is busy",
                       StandIn::kErrorNumber, 1);
    expectError([&] { rig2.SetFrequency(99'000'000); }, E_INVALIDARG, "Frequency out of range");
    rig2.SetFrequency(7'000'000);
    RigObject rig1 = client.RigObject1();
    expectError([&] { rig1.StatusText(); }, static_cast<HRESULT>(0x80040155),
                "Rig 1 is not configured");
    EXPECT_EQ(rig1.StatusText(), "On-line");
    // An application error number lands in the interface facility.
    expectError([&] { client.RigObject2(); }, static_cast<HRESULT>(0x800403E9), "Rig 2 is busy");
    try {
        client.SetSettingsDialogVisible(true);
        ADD_FAILURE() << "no RigServerError";
    } catch (const RigServerError& e) {
        // Without a description of the server's, the system's text for the code stands in.
        EXPECT_EQ(static_cast<uint32_t>(e.code()), static_cast<uint32_t>(E_ACCESSDENIED));
        EXPECT_FALSE(e.description().empty());
    }
}

TEST_F(OmniRigComServerTest, RefusedSubscriptionStillServesEveryOperation) {
    ASSERT_FALSE(ComApartment::enterSingleThreaded().failed());
    for (auto how : {StandIn::kNoContainer, StandIn::kNoPoint, StandIn::kAdviseFails}) {
        SCOPED_TRACE(how);
        StandInProcess process = StandInProcess::start();
        control().refuseSubscription(how);
        int events = 0;
        {
            TOmniRigX client(OmniRigComServer::factory());
            client.OnStatusChange = [&](TOmniRigX*, int32_t) { ++events; };
            client.Connect();
            EXPECT_TRUE(client.Connected());
            EXPECT_EQ(control().subscriptions(), 0);
            client.SetSettingsDialogVisible(true);
            EXPECT_TRUE(client.SettingsDialogVisible());
            RigObject rig = client.RigObject1();
            rig.SetFrequency(21'074'000);
            EXPECT_EQ(rig.Frequency(), 21'074'000);
            EXPECT_EQ(client.RigObject2().ModeBits(), LSB);
            control().raiseEvent(DISPID_StatusChange, {of(1)});
        }
        EXPECT_EQ(events, 0);
        EXPECT_TRUE(control().eventResults().empty());
        endStandIn();
    }
}

TEST_F(OmniRigComServerTest, HandlerThatDisconnectsInsideACallBreaksNothing) {
    TOmniRigX client(OmniRigComServer::factory());
    int events = 0;
    client.OnStatusChange = [&](TOmniRigX* sender, int32_t) {
        ++events;
        sender->Disconnect();
    };
    client.Connect();
    // Inside a rig call ...
    control().raiseOnNextCall(L"rig1.Frequency=", DISPID_StatusChange, {of(1)});
    RigObject rig = client.RigObject1();
    rig.SetFrequency(10'136'000);
    EXPECT_EQ(events, 1);
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(control().subscriptions(), 0);
    EXPECT_EQ(rig.Frequency(), 10'136'000);

    // ... and inside a call of the server object, whose adapter the client drops meanwhile.
    client.Connect();
    control().raiseOnNextCall(L"RigObject2?", DISPID_StatusChange, {of(2)});
    RigObject rig2 = client.RigObject2();
    EXPECT_EQ(events, 2);
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(rig2.FrequencyB(), 7'100'000);
    EXPECT_EQ(control().subscriptions(), 0);
    EXPECT_EQ(control().eventResults(), (Calls{"0x00000000", "0x00000000"}));
}

TEST_F(OmniRigComServerTest, EventInsideTheSubscriptionLeavesOneSubscription) {
    ASSERT_FALSE(ComApartment::enterSingleThreaded().failed());
    StandInProcess process = StandInProcess::start();
    control().raiseOnNextCall(L"Advise", DISPID_ParamsChange, {of(1), of(FREQA)});
    TOmniRigX client(OmniRigComServer::factory());
    std::vector<std::string> got;
    client.OnParamsChange = [&](TOmniRigX* sender, int32_t rig, int32_t params) {
        // The client is not connected yet: this call connects it a second time.
        got.push_back(std::to_string(rig) + " " + std::to_string(params) + " " +
                      std::to_string(sender->RigObject1().Frequency()));
    };
    client.Connect();
    EXPECT_EQ(got, (Calls{"1 4 14000000"}));
    EXPECT_EQ(control().subscriptions(), 1);

    control().raiseEvent(DISPID_ParamsChange, {of(1), of(FREQB)});
    EXPECT_EQ(got, (Calls{"1 4 14000000", "1 8 14000000"}));
}

TEST_F(OmniRigComServerTest, FactoryRefusesAMultiThreadedThread) {
    RigResult result;
    std::thread worker([&] {
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        std::shared_ptr<IOmniRigX> server;
        result = OmniRigComServer::factory()(server);
        ::CoUninitialize();
    });
    worker.join();
    EXPECT_EQ(static_cast<uint32_t>(result.code), static_cast<uint32_t>(RPC_E_CHANGED_MODE));
    EXPECT_NE(result.description.find("single-threaded"), std::string::npos);
}

TEST_F(OmniRigComServerTest, NoServerToAttachToOrStartRaisesRigServerError) {
    const wchar_t* key =
        L"Software\\Classes\\CLSID\\{0839E8C6-ED30-4950-8087-966F970F0CAE}\\LocalServer32";
    HKEY server = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WRITE, &server),
              ERROR_SUCCESS);
    wchar_t registered[MAX_PATH * 2] = {};
    DWORD size = sizeof registered;
    ASSERT_EQ(::RegQueryValueExW(server, nullptr, nullptr, nullptr,
                                 reinterpret_cast<BYTE*>(registered), &size),
              ERROR_SUCCESS);
    const std::wstring missing = L"C:\\nowhere\\OmniRigStandIn.exe";
    ::RegSetValueExW(server, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(missing.c_str()),
                     static_cast<DWORD>((missing.size() + 1) * sizeof(wchar_t)));

    TOmniRigX client(OmniRigComServer::factory());
    try {
        client.Connect();
        ADD_FAILURE() << "connected to nothing";
    } catch (const RigServerError& e) {
        EXPECT_LT(e.code(), 0);
        EXPECT_EQ(e.description().rfind("The rig server cannot be started", 0), 0u)
            << e.description();
    }
    EXPECT_FALSE(client.Connected());
    ::RegSetValueExW(server, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(registered), size);
    ::RegCloseKey(server);
}
