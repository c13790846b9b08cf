// Failure reports of the runtime as results. The error object travels between processes only on
// Windows itself (Wine leaves it behind), so it is set here in the test's own thread.
#include "ComFailure.h"

#include <gtest/gtest.h>
#include <oleauto.h>

using namespace OmniRig;

namespace {

void setErrorInfo(const wchar_t* description) {
    ICreateErrorInfo* create = nullptr;
    ASSERT_EQ(::CreateErrorInfo(&create), S_OK);
    create->SetDescription(const_cast<LPOLESTR>(description));
    IErrorInfo* info = nullptr;
    create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
    ::SetErrorInfo(0, info);
    info->Release();
    create->Release();
}

}  // namespace

TEST(ComFailure, TakesTheDescriptionFromTheErrorObjectOnlyWhenTheCallSetOne) {
    setErrorInfo(L"Rig 1 is not configured");
    RigResult r = ComFailure::fromCall(static_cast<HRESULT>(0x80040155), "RigObject1");
    EXPECT_EQ(static_cast<uint32_t>(r.code), 0x80040155u);
    EXPECT_EQ(r.description, "Rig 1 is not configured");

    setErrorInfo(L"left over from an earlier call");
    ComFailure::clearErrorInfo();
    r = ComFailure::fromCall(E_OUTOFMEMORY, "Frequency");
    EXPECT_EQ(r.description.find("left over"), std::string::npos);
    EXPECT_TRUE(r.failed());
}

TEST(ComFailure, ExceptionInformationGivesCodeAndDescription) {
    EXCEPINFO info{};
    info.scode = DISP_E_OVERFLOW;
    info.bstrDescription = ::SysAllocString(L"Frequency too high");
    info.bstrSource = ::SysAllocString(L"server");
    RigResult r = ComFailure::fromInvoke(DISP_E_EXCEPTION, info, "Frequency");
    EXPECT_EQ(r.code, static_cast<int32_t>(DISP_E_OVERFLOW));
    EXPECT_EQ(r.description, "Frequency too high");
    EXPECT_EQ(info.bstrDescription, nullptr);

    // Only an application error number, and no description: the error object stands in.
    info.wCode = 1001;
    setErrorInfo(L"Rig 2 is busy");
    r = ComFailure::fromInvoke(DISP_E_EXCEPTION, info, "RigObject2");
    EXPECT_EQ(static_cast<uint32_t>(r.code), 0x800403E9u);
    EXPECT_EQ(r.description, "Rig 2 is busy");

    // Neither code nor number: the dispatch failure itself.
    EXCEPINFO blank{};
    ComFailure::clearErrorInfo();
    r = ComFailure::fromInvoke(DISP_E_EXCEPTION, blank, "");
    EXPECT_EQ(r.code, static_cast<int32_t>(DISP_E_EXCEPTION));
}
