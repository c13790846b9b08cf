#include "StandInConnectionPoint.h"

#include <olectl.h>

#include <cstdio>

#include "StandInIds.h"

namespace StandIn {

StandInConnectionPoint::StandInConnectionPoint(IConnectionPointContainer& container,
                                               StandInScript& script)
    : container_(container), script_(script) {}

std::wstring StandInConnectionPoint::results() const {
    std::wstring out;
    for (HRESULT hr : results_) {
        wchar_t text[16];
        std::swprintf(text, 16, L"0x%08lX\n", static_cast<unsigned long>(hr));
        out += text;
    }
    return out;
}

void StandInConnectionPoint::raise(DISPID event, const std::vector<StandInVariant>& args) {
    // The arguments go last first.
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        reversed.push_back(it->value());
    }
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr,
                      static_cast<UINT>(reversed.size()), 0};
    // Delivered from a copy: a subscriber may subscribe or unsubscribe while it is called.
    std::vector<std::pair<DWORD, IDispatch*>> targets(sinks_.begin(), sinks_.end());
    for (auto& [cookie, sink] : targets) {
        sink->AddRef();
    }
    for (auto& [cookie, sink] : targets) {
        if (sinks_.count(cookie) != 0) {
            VARIANT result;
            ::VariantInit(&result);
            EXCEPINFO exception{};
            UINT argumentError = 0;
            const HRESULT hr = sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                            &params, &result, &exception, &argumentError);
            ::VariantClear(&result);
            ::SysFreeString(exception.bstrDescription);
            ::SysFreeString(exception.bstrSource);
            ::SysFreeString(exception.bstrHelpFile);
            results_.push_back(hr);
        }
        sink->Release();
    }
}

void StandInConnectionPoint::dropAll() {
    auto sinks = std::move(sinks_);
    sinks_.clear();
    for (auto& [cookie, sink] : sinks) {
        sink->Release();
    }
}

HRESULT StandInConnectionPoint::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG StandInConnectionPoint::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG StandInConnectionPoint::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) {
        dropAll();
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT StandInConnectionPoint::GetConnectionInterface(IID* iid) {
    if (iid == nullptr) {
        return E_POINTER;
    }
    *iid = kEventInterface;
    return S_OK;
}

HRESULT StandInConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** c) {
    if (c == nullptr) {
        return E_POINTER;
    }
    *c = &container_;
    container_.AddRef();
    return S_OK;
}

HRESULT StandInConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (sink == nullptr || cookie == nullptr) {
        return E_POINTER;
    }
    *cookie = 0;
    return script_.handle(L"Advise", nullptr, [&]() -> HRESULT {
        if (refuseAdvise) {
            return CONNECT_E_ADVISELIMIT;
        }
        IDispatch* events = nullptr;
        if (FAILED(sink->QueryInterface(kEventInterface, reinterpret_cast<void**>(&events)))) {
            return CONNECT_E_CANNOTCONNECT;
        }
        *cookie = nextCookie_++;
        sinks_[*cookie] = events;
        return S_OK;
    });
}

HRESULT StandInConnectionPoint::Unadvise(DWORD cookie) {
    return script_.handle(L"Unadvise", nullptr, [&]() -> HRESULT {
        auto found = sinks_.find(cookie);
        if (found == sinks_.end()) {
            return CONNECT_E_NOCONNECTION;
        }
        IDispatch* sink = found->second;
        sinks_.erase(found);
        sink->Release();
        return S_OK;
    });
}

HRESULT StandInConnectionPoint::EnumConnections(IEnumConnections** e) {
    if (e != nullptr) {
        *e = nullptr;
    }
    return E_NOTIMPL;
}

}  // namespace StandIn
