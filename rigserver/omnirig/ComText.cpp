#include "ComText.h"

namespace OmniRig::ComText {

std::string toUtf8(const wchar_t* text, size_t length) {
    if (text == nullptr || length == 0) {
        return {};
    }
    const int wide = static_cast<int>(length);
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        ::WideCharToMultiByte(CP_UTF8, 0, text, wide, out.data(), size, nullptr, nullptr);
    }
    return out;
}

std::string toUtf8(BSTR text) {
    // A BSTR carries its length and may hold zero characters inside.
    return text == nullptr ? std::string() : toUtf8(text, ::SysStringLen(text));
}

std::wstring toWide(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int narrow = static_cast<int>(text.size());
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), narrow, nullptr, 0);
    std::wstring out(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), narrow, out.data(), size);
    }
    return out;
}

std::string systemMessage(HRESULT code) {
    wchar_t* buffer = nullptr;
    const DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    const DWORD length = ::FormatMessageW(flags, nullptr, static_cast<DWORD>(code), 0,
                                          reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = toUtf8(buffer, length);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace OmniRig::ComText
