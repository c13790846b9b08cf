#pragma once
// The base of the stand-in's automation objects: reference counting, IDispatch over a table of
// member names (found without regard to case), and IExternalConnection, through which the
// runtime tells the object when clients in other processes hold it.

#include <windows.h>

#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

namespace StandIn {

class StandInDispatch : public IDispatch, public IExternalConnection {
public:
    struct Member {
        const wchar_t* name;
        DISPID id;
    };

    StandInDispatch(std::vector<Member> members, IID ownInterface);
    virtual ~StandInDispatch() = default;
    StandInDispatch(const StandInDispatch&) = delete;
    StandInDispatch& operator=(const StandInDispatch&) = delete;

    // Called when the first client in another process takes the object and when the last one
    // lets go.
    std::function<void(bool held)> onClientsChanged;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;
    DWORD STDMETHODCALLTYPE AddConnection(DWORD type, DWORD reserved) override;
    DWORD STDMETHODCALLTYPE ReleaseConnection(DWORD type, DWORD reserved,
                                              BOOL lastReleaseCloses) override;

protected:
    virtual HRESULT invokeMember(DISPID member, WORD flags, DISPPARAMS& params, VARIANT* result,
                                 EXCEPINFO* exception) = 0;
    // Other interfaces the object answers for.
    virtual void* queryOther(REFIID) { return nullptr; }

    // The name of a member, for the call record.
    std::wstring nameOf(DISPID member) const;

    // Argument i of a method call, counted in declared order; nullptr when missing.
    static const VARIANT* argument(const DISPPARAMS& params, UINT i);
    // The value of a property write, or nullptr when the call is no proper property write.
    static const VARIANT* putValue(const DISPPARAMS& params);

private:
    std::vector<Member> members_;
    IID ownInterface_;
    LONG references_ = 1;
    LONG connections_ = 0;
};

}  // namespace StandIn
