#pragma once
// Conversions between the automation runtime's UTF-16 texts and the program's UTF-8 strings.

#include <windows.h>

#include <string>

namespace OmniRig::ComText {

std::string toUtf8(const wchar_t* text, size_t length);
std::string toUtf8(BSTR text);
std::wstring toWide(const std::string& text);

// The system's text for a failure code, without the trailing line break; empty when it has none.
std::string systemMessage(HRESULT code);

}  // namespace OmniRig::ComText
