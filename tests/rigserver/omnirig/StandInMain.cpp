// The stand-in rig server, an out-of-process automation server for the tests of the Windows
// back end.
//   OmniRigStandIn /RegServer        registers it (class, local server, type library)
//   OmniRigStandIn -Embedding        started by the runtime for a client; ends with its last client
//   OmniRigStandIn /Run <event>      started by a test; sets the named event once it can be found
//                                    as the running server, ends when a test says Quit
#include <windows.h>

#include <oleauto.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "StandInClassFactory.h"
#include "StandInIds.h"
#include "StandInRegistration.h"
#include "StandInServer.h"

using namespace StandIn;

namespace {

std::vector<std::wstring> arguments() {
    int count = 0;
    wchar_t** list = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::wstring> args(list, list + count);
    ::LocalFree(list);
    return args;
}

bool is(const std::wstring& arg, const wchar_t* name) {
    return arg.size() > 1 && (arg[0] == L'/' || arg[0] == L'-') &&
           ::_wcsicmp(arg.c_str() + 1, name) == 0;
}

std::wstring executablePath() {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(n);
    return path;
}

int serve(bool startedByRuntime, const std::wstring& readyEvent) {
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 2;
    }
    auto* server = new StandInServer(startedByRuntime);
    StandInClassFactory factory(static_cast<IDispatch*>(server));
    bool quitting = false;
    auto quit = [&] {
        if (!quitting) {
            quitting = true;
            factory.close();
            ::PostQuitMessage(0);
        }
    };
    server->onQuit = quit;
    // Started for a client, it ends when no client holds any of its objects.
    server->onClientsChanged = [&](bool held) {
        if (!held && startedByRuntime) {
            quit();
        }
    };

    DWORD classCookie = 0;
    HRESULT hr = ::CoRegisterClassObject(kServerClass, &factory, CLSCTX_LOCAL_SERVER,
                                         REGCLS_MULTIPLEUSE, &classCookie);
    DWORD activeCookie = 0;
    if (SUCCEEDED(hr)) {
        // A weak entry does not keep a server alive that the runtime started for a client.
        hr = ::RegisterActiveObject(static_cast<IDispatch*>(server), kServerClass,
                                    startedByRuntime ? ACTIVEOBJECT_WEAK : ACTIVEOBJECT_STRONG,
                                    &activeCookie);
    }
    if (SUCCEEDED(hr) && !readyEvent.empty()) {
        if (HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, readyEvent.c_str())) {
            ::SetEvent(ready);
            ::CloseHandle(ready);
        }
    }
    if (SUCCEEDED(hr)) {
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    if (activeCookie != 0) {
        ::RevokeActiveObject(activeCookie, nullptr);
    }
    if (classCookie != 0) {
        ::CoRevokeClassObject(classCookie);
    }
    server->shutDown();
    ::CoDisconnectObject(static_cast<IDispatch*>(server), 0);
    server->Release();
    ::CoUninitialize();
    return SUCCEEDED(hr) ? 0 : 3;
}

}  // namespace

int main() {
    const auto args = arguments();
    for (size_t i = 1; i < args.size(); ++i) {
        if (is(args[i], L"RegServer")) {
            return SUCCEEDED(registerServer(executablePath())) ? 0 : 1;
        }
        if (is(args[i], L"Embedding")) {
            return serve(true, {});
        }
        if (is(args[i], L"Run") && i + 1 < args.size()) {
            return serve(false, args[i + 1]);
        }
    }
    return 64;
}
