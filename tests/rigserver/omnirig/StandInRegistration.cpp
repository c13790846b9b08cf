#include "StandInRegistration.h"

#include <oleauto.h>

#include "StandInIds.h"

namespace StandIn {

namespace {

std::wstring classKey() {
    wchar_t text[40] = {};
    ::StringFromGUID2(kServerClass, text, 40);
    return std::wstring(L"Software\\Classes\\CLSID\\") + text;
}

HRESULT setDefault(const std::wstring& key, const std::wstring& value) {
    HKEY handle = nullptr;
    LSTATUS status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE,
                                       nullptr, &handle, nullptr);
    if (status == ERROR_SUCCESS) {
        status = ::RegSetValueExW(handle, nullptr, 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(value.c_str()),
                                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(handle);
    }
    return HRESULT_FROM_WIN32(status);
}

std::wstring besideExecutable(const std::wstring& executable, const wchar_t* file) {
    const auto slash = executable.find_last_of(L"\\/");
    return (slash == std::wstring::npos ? std::wstring() : executable.substr(0, slash + 1)) + file;
}

}  // namespace

HRESULT registerServer(const std::wstring& executable) {
    ITypeLib* library = nullptr;
    HRESULT hr = ::LoadTypeLibEx(besideExecutable(executable, kTypeLibraryFile).c_str(),
                                 REGKIND_REGISTER, &library);
    if (FAILED(hr)) {
        return hr;
    }
    library->Release();
    hr = setDefault(classKey(), L"ZuvozeRaro stand-in rig server");
    if (SUCCEEDED(hr)) {
        hr = setDefault(classKey() + L"\\LocalServer32", L"\"" + executable + L"\"");
    }
    return hr;
}

}  // namespace StandIn
