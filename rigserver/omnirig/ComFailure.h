#pragma once
// Turns the automation runtime's failure reports into the contract's results: the failure code
// with the server's description (from the exception information of a dispatch call or from the
// error object of the thread); where the server gave none, what failed with the system's text for
// the code, or with the code itself.

#include <windows.h>

#include <string>

#include "RigResult.h"

namespace OmniRig::ComFailure {

// Clears the thread's error object, so that a later look finds only what the next call set.
void clearErrorInfo();

// A failed call other than a dispatch invocation; "what" names it where the server said nothing.
RigResult fromCall(HRESULT code, const std::string& what);

// A failed IDispatch::Invoke, with the exception information that it may have filled in. The
// information's strings are freed here.
RigResult fromInvoke(HRESULT code, EXCEPINFO& exception, const std::string& what);

}  // namespace OmniRig::ComFailure
