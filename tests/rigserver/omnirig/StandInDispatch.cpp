#include "StandInDispatch.h"

namespace StandIn {

StandInDispatch::StandInDispatch(std::vector<Member> members, IID ownInterface)
    : members_(std::move(members)), ownInterface_(ownInterface) {}

HRESULT StandInDispatch::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    void* found = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, ownInterface_)) {
        found = static_cast<IDispatch*>(this);
    } else if (IsEqualIID(iid, IID_IExternalConnection)) {
        found = static_cast<IExternalConnection*>(this);
    } else {
        found = queryOther(iid);
    }
    *object = found;
    if (found == nullptr) {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG StandInDispatch::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG StandInDispatch::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT StandInDispatch::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT StandInDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    return DISP_E_BADINDEX;
}

HRESULT StandInDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (names == nullptr || ids == nullptr || count == 0) {
        return E_INVALIDARG;
    }
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
    }
    for (const auto& m : members_) {
        if (::_wcsicmp(m.name, names[0]) == 0) {
            ids[0] = m.id;
        }
    }
    if (ids[0] == DISPID_UNKNOWN || count > 1) {
        hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT StandInDispatch::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO* exception, UINT*) {
    if (params == nullptr) {
        return E_INVALIDARG;
    }
    if (result != nullptr) {
        ::VariantInit(result);
    }
    // Held for the call: the call may end with the last client gone.
    AddRef();
    const HRESULT hr = invokeMember(member, flags, *params, result, exception);
    Release();
    return hr;
}

DWORD StandInDispatch::AddConnection(DWORD type, DWORD) {
    if ((type & EXTCONN_STRONG) == 0) {
        return static_cast<DWORD>(connections_);
    }
    const LONG now = ++connections_;
    if (now == 1 && onClientsChanged) {
        onClientsChanged(true);
    }
    return static_cast<DWORD>(now);
}

DWORD StandInDispatch::ReleaseConnection(DWORD type, DWORD, BOOL) {
    if ((type & EXTCONN_STRONG) == 0 || connections_ == 0) {
        return static_cast<DWORD>(connections_);
    }
    const LONG now = --connections_;
    if (now == 0 && onClientsChanged) {
        onClientsChanged(false);
    }
    return static_cast<DWORD>(now);
}

std::wstring StandInDispatch::nameOf(DISPID member) const {
    for (const auto& m : members_) {
        if (m.id == member) {
            return m.name;
        }
    }
    return L"#" + std::to_wstring(member);
}

const VARIANT* StandInDispatch::argument(const DISPPARAMS& params, UINT i) {
    const UINT positional = params.cArgs - params.cNamedArgs;
    if (i >= positional || params.rgvarg == nullptr) {
        return nullptr;
    }
    return &params.rgvarg[params.cArgs - 1 - i];
}

const VARIANT* StandInDispatch::putValue(const DISPPARAMS& params) {
    // A property write names its value DISPID_PROPERTYPUT, as typed servers insist.
    if (params.cArgs != 1 || params.cNamedArgs != 1 || params.rgdispidNamedArgs == nullptr ||
        params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT || params.rgvarg == nullptr) {
        return nullptr;
    }
    return &params.rgvarg[0];
}

}  // namespace StandIn
