#include "ComFailure.h"

#include <oleauto.h>

#include <cstdio>

#include "ComRef.h"
#include "ComText.h"

namespace OmniRig::ComFailure {

namespace {

std::string takeErrorInfoDescription() {
    ComRef<IErrorInfo> info;
    if (::GetErrorInfo(0, info.put()) != S_OK || !info) {
        return {};
    }
    BSTR description = nullptr;
    if (FAILED(info->GetDescription(&description))) {
        return {};
    }
    std::string text = ComText::toUtf8(description);
    ::SysFreeString(description);
    return text;
}

std::string describe(HRESULT code, std::string description, const std::string& what) {
    if (!description.empty()) {
        return description;
    }
    const std::string context = what.empty() ? std::string("Rig server call failed") : what;
    const std::string system = ComText::systemMessage(code);
    if (!system.empty()) {
        return context + ": " + system;
    }
    char number[32];
    std::snprintf(number, sizeof number, " (code 0x%08lX)", static_cast<unsigned long>(code));
    return context + number;
}

}  // namespace

void clearErrorInfo() {
    ::SetErrorInfo(0, nullptr);
}

RigResult fromCall(HRESULT code, const std::string& what) {
    return RigResult::fail(static_cast<int32_t>(code),
                           describe(code, takeErrorInfoDescription(), what));
}

RigResult fromInvoke(HRESULT code, EXCEPINFO& exception, const std::string& what) {
    if (code != DISP_E_EXCEPTION) {
        return fromCall(code, what);
    }
    if (exception.pfnDeferredFillIn != nullptr) {
        exception.pfnDeferredFillIn(&exception);
    }
    HRESULT reported = code;
    if (FAILED(exception.scode)) {
        reported = exception.scode;
    } else if (exception.wCode != 0) {
        // An application-defined error number: the runtime's convention puts it in the
        // interface facility.
        reported = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, exception.wCode);
    }
    std::string description = ComText::toUtf8(exception.bstrDescription);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrHelpFile);
    exception = EXCEPINFO{};
    if (description.empty()) {
        description = takeErrorInfoDescription();
    }
    return RigResult::fail(static_cast<int32_t>(reported), describe(reported, description, what));
}

}  // namespace OmniRig::ComFailure
