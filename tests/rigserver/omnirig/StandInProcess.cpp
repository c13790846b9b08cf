#include "StandInProcess.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <string>

#include "MessagePump.h"
#include "StandInIds.h"

namespace OmniRigTesting {

namespace {

std::wstring standInPath() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L"\\/") + 1) + StandIn::kExecutable;
}

}  // namespace

StandInProcess::StandInProcess(DWORD id)
    : id_(id), handle_(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id)) {}

StandInProcess::StandInProcess(StandInProcess&& other) noexcept
    : id_(other.id_), handle_(std::exchange(other.handle_, nullptr)) {}

StandInProcess::~StandInProcess() {
    if (handle_ != nullptr) {
        ::CloseHandle(handle_);
    }
}

bool StandInProcess::waitForExit(std::chrono::milliseconds deadline) const {
    if (handle_ == nullptr) {
        return true;
    }
    // Messages go on being handled: the process may want to call us on its way out.
    return pumpUntil([&] { return ::WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }, deadline,
                     handle_);
}

StandInProcess StandInProcess::start() {
    const std::wstring event =
        L"ZuvozeRaroStandInReady-" + std::to_wstring(::GetCurrentProcessId());
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, event.c_str());
    std::wstring commandLine = L"\"" + standInPath() + L"\" /Run " + event;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        ADD_FAILURE() << "cannot start the stand-in: error " << ::GetLastError();
        ::CloseHandle(ready);
        return StandInProcess(0);
    }
    ::CloseHandle(info.hThread);
    HANDLE both[] = {ready, info.hProcess};
    const DWORD woke = ::WaitForMultipleObjects(2, both, FALSE, 20'000);
    EXPECT_EQ(woke, WAIT_OBJECT_0) << "the stand-in did not come up";
    ::CloseHandle(ready);
    StandInProcess process(info.dwProcessId);
    ::CloseHandle(info.hProcess);
    return process;
}

void StandInProcess::endAll() {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
         more = ::Process32NextW(snapshot, &entry)) {
        if (::_wcsicmp(entry.szExeFile, StandIn::kExecutable) == 0) {
            StandInProcess left(entry.th32ProcessID);
            if (left.handle_ != nullptr) {
                ::TerminateProcess(left.handle_, 9);
                left.waitForExit();
            }
        }
    }
    ::CloseHandle(snapshot);
}

}  // namespace OmniRigTesting
