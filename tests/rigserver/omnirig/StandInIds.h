#pragma once
// What the stand-in rig server and its tests share: identifiers, dispatch ids (as in
// OmniRigStandIn.idl) and the meanings of the control arguments.

#include <windows.h>

namespace StandIn {

// {0839E8C6-ED30-4950-8087-966F970F0CAE}
inline constexpr CLSID kServerClass = {
    0x0839E8C6, 0xED30, 0x4950, {0x80, 0x87, 0x96, 0x6F, 0x97, 0x0F, 0x0C, 0xAE}};
// {2219175F-E561-47E7-AD17-73C4D8891AA1}
inline constexpr IID kEventInterface = {
    0x2219175F, 0xE561, 0x47E7, {0xAD, 0x17, 0x73, 0xC4, 0xD8, 0x89, 0x1A, 0xA1}};
// {501A2858-3331-467A-837A-989FDEDACC7D}
inline constexpr IID kServerInterface = {
    0x501A2858, 0x3331, 0x467A, {0x83, 0x7A, 0x98, 0x9F, 0xDE, 0xDA, 0xCC, 0x7D}};
// {D30A7E51-5862-45B7-BFFA-6415917DA0CF}
inline constexpr IID kRigInterface = {
    0xD30A7E51, 0x5862, 0x45B7, {0xBF, 0xFA, 0x64, 0x15, 0x91, 0x7D, 0xA0, 0xCF}};
// {FE9FC92C-F827-47AC-BE3A-6BFB81609B06}
inline constexpr IID kControlInterface = {
    0xFE9FC92C, 0xF827, 0x47AC, {0xBE, 0x3A, 0x6B, 0xFB, 0x81, 0x60, 0x9B, 0x06}};
inline constexpr const wchar_t* kExecutable = L"OmniRigStandIn.exe";
inline constexpr const wchar_t* kTypeLibraryFile = L"OmniRigStandIn.tlb";

// The server object: IOmniRigX, then the test controls.
enum ServerMember : DISPID {
    RigObject1 = 11,
    RigObject2 = 12,
    SettingsDialogVisible = 13,
    ProcessId = 100,
    StartedByRuntime = 101,
    Calls = 102,
    ClearCalls = 103,
    FailCall = 104,
    RefuseSubscription = 105,
    Subscriptions = 106,
    RaiseEvent = 107,
    RaiseOnNextCall = 108,
    EventResults = 109,
    SetValue = 110,
    Quit = 111,
};

// How FailCall reports the failure.
enum FailStyle : LONG {
    // DISP_E_EXCEPTION with the code and description in the exception information.
    kExceptionInfo = 0,
    // DISP_E_EXCEPTION with only an application error number (the code's low 16 bits).
    kErrorNumber = 1,
};

// How RefuseSubscription refuses.
enum Refusal : LONG {
    kAccept = 0,
    kNoContainer = 1,  // no IConnectionPointContainer
    kNoPoint = 2,      // FindConnectionPoint fails
    kAdviseFails = 3,  // IConnectionPoint::Advise fails
};

}  // namespace StandIn
