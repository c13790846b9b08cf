#include "StandInServer.h"

#include <olectl.h>

#include "StandInIds.h"

namespace StandIn {

namespace {

constexpr UINT kRaiseLater = WM_APP + 1;
constexpr const wchar_t* kWindowClass = L"ZuvozeRaroStandInEvents";

std::wstring textOf(const VARIANT* v) {
    if (v == nullptr) {
        return {};
    }
    StandInVariant copy(*v);
    if (copy.value().vt != VT_BSTR) {
        return copy.text();
    }
    return std::wstring(copy.value().bstrVal, ::SysStringLen(copy.value().bstrVal));
}

LONG longOf(const VARIANT* v) {
    if (v == nullptr) {
        return 0;
    }
    StandInVariant converted;
    if (FAILED(::VariantChangeType(converted.get(), const_cast<VARIANT*>(v), 0, VT_I4))) {
        return 0;
    }
    return converted.value().lVal;
}

// The event arguments a test passes: an array of values, or nothing.
std::vector<StandInVariant> argumentsOf(const VARIANT* v) {
    std::vector<StandInVariant> args;
    if (v == nullptr) {
        return args;
    }
    StandInVariant copy(*v);
    if (copy.value().vt != (VT_ARRAY | VT_VARIANT)) {
        return args;
    }
    SAFEARRAY* array = copy.value().parray;
    LONG low = 0;
    LONG high = -1;
    ::SafeArrayGetLBound(array, 1, &low);
    ::SafeArrayGetUBound(array, 1, &high);
    for (LONG i = low; i <= high; ++i) {
        StandInVariant element;
        ::SafeArrayGetElement(array, &i, element.get());
        args.push_back(element);
    }
    return args;
}

HRESULT giveText(VARIANT* result, const std::wstring& text) {
    if (result == nullptr) {
        return DISP_E_PARAMNOTOPTIONAL;
    }
    result->vt = VT_BSTR;
    result->bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return S_OK;
}

HRESULT giveLong(VARIANT* result, LONG value) {
    if (result == nullptr) {
        return DISP_E_PARAMNOTOPTIONAL;
    }
    result->vt = VT_I4;
    result->lVal = value;
    return S_OK;
}

}  // namespace

StandInServer::StandInServer(bool startedByRuntime)
    : StandInDispatch({{L"RigObject1", RigObject1},
                       {L"RigObject2", RigObject2},
                       {L"SettingsDialogVisible", SettingsDialogVisible},
                       {L"ProcessId", ProcessId},
                       {L"StartedByRuntime", StartedByRuntime},
                       {L"Calls", Calls},
                       {L"ClearCalls", ClearCalls},
                       {L"FailCall", FailCall},
                       {L"RefuseSubscription", RefuseSubscription},
                       {L"Subscriptions", Subscriptions},
                       {L"RaiseEvent", RaiseEvent},
                       {L"RaiseOnNextCall", RaiseOnNextCall},
                       {L"EventResults", EventResults},
                       {L"SetValue", SetValue},
                       {L"Quit", Quit}},
                      kServerInterface),
      startedByRuntime_(startedByRuntime),
      rigs_{new StandInRig(1, script_), new StandInRig(2, script_)},
      point_(new StandInConnectionPoint(*this, script_)) {
    script_.raise = [this](DISPID event, const std::vector<StandInVariant>& args) {
        if (point_ != nullptr) {
            point_->raise(event, args);
        }
    };
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &StandInServer::windowProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassW(&windowClass);
    window_ = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

StandInServer::~StandInServer() {
    shutDown();
    ::DestroyWindow(window_);
}

void StandInServer::shutDown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    later_.clear();
    point_->dropAll();
    std::exchange(point_, nullptr)->Release();
    for (StandInRig*& rig : rigs_) {
        ::CoDisconnectObject(static_cast<IDispatch*>(rig), 0);
        rig->Release();
        rig = nullptr;
    }
}

void* StandInServer::queryOther(REFIID iid) {
    if (IsEqualIID(iid, kControlInterface)) {
        return static_cast<IDispatch*>(this);
    }
    if (IsEqualIID(iid, IID_IConnectionPointContainer) && refusal_ != kNoContainer) {
        return static_cast<IConnectionPointContainer*>(this);
    }
    return nullptr;
}

HRESULT StandInServer::EnumConnectionPoints(IEnumConnectionPoints** e) {
    if (e != nullptr) {
        *e = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT StandInServer::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (point == nullptr) {
        return E_POINTER;
    }
    *point = nullptr;
    return script_.handle(L"FindConnectionPoint", nullptr, [&]() -> HRESULT {
        if (shutDown_ || refusal_ == kNoPoint || !IsEqualIID(iid, kEventInterface)) {
            return CONNECT_E_NOCONNECTION;
        }
        *point = point_;
        point_->AddRef();
        return S_OK;
    });
}

HRESULT StandInServer::invokeMember(DISPID member, WORD flags, DISPPARAMS& params, VARIANT* result,
                                    EXCEPINFO* exception) {
    if (shutDown_) {
        return RPC_E_DISCONNECTED;
    }
    if (member == RigObject1 || member == RigObject2 || member == SettingsDialogVisible) {
        return property(member, flags, params, result, exception);
    }
    if (member >= ProcessId && member <= Quit) {
        return control(member, params, result);
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT StandInServer::property(DISPID member, WORD flags, DISPPARAMS& params, VARIANT* result,
                                EXCEPINFO* exception) {
    const std::wstring name = nameOf(member);
    if (flags & DISPATCH_PROPERTYGET) {
        if (result == nullptr || params.cArgs != 0) {
            return DISP_E_BADPARAMCOUNT;
        }
        return script_.handle(name + L"?", exception, [&] {
            if (member == SettingsDialogVisible) {
                result->vt = VT_BOOL;
                result->boolVal = settingsDialogVisible_ ? VARIANT_TRUE : VARIANT_FALSE;
            } else {
                StandInRig* rig = rigs_[member == RigObject1 ? 0 : 1];
                rig->AddRef();
                result->vt = VT_DISPATCH;
                result->pdispVal = rig;
            }
            return S_OK;
        });
    }
    if ((flags & DISPATCH_PROPERTYPUT) && member == SettingsDialogVisible) {
        const VARIANT* value = putValue(params);
        if (value == nullptr) {
            return DISP_E_PARAMNOTOPTIONAL;
        }
        StandInVariant converted;
        if (FAILED(::VariantChangeType(converted.get(), const_cast<VARIANT*>(value), 0, VT_BOOL))) {
            return DISP_E_TYPEMISMATCH;
        }
        return script_.handle(name + L"=" + converted.text(), exception, [&] {
            settingsDialogVisible_ = converted.value().boolVal != VARIANT_FALSE;
            return S_OK;
        });
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT StandInServer::control(DISPID member, DISPPARAMS& params, VARIANT* result) {
    switch (member) {
        case ProcessId:
            return giveLong(result, static_cast<LONG>(::GetCurrentProcessId()));
        case StartedByRuntime:
            if (result == nullptr) {
                return DISP_E_PARAMNOTOPTIONAL;
            }
            result->vt = VT_BOOL;
            result->boolVal = startedByRuntime_ ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        case Calls:
            return giveText(result, script_.callRecord());
        case ClearCalls:
            script_.clear();
            return S_OK;
        case FailCall:
            script_.failCall(textOf(argument(params, 0)), longOf(argument(params, 1)),
                             textOf(argument(params, 2)), longOf(argument(params, 3)),
                             argument(params, 4) ? longOf(argument(params, 4)) : -1);
            return S_OK;
        case RefuseSubscription:
            refusal_ = longOf(argument(params, 0));
            point_->refuseAdvise = refusal_ == kAdviseFails;
            return S_OK;
        case Subscriptions:
            return giveLong(result, static_cast<LONG>(point_->subscribers()));
        case RaiseEvent: {
            const DISPID event = longOf(argument(params, 0));
            auto args = argumentsOf(argument(params, 1));
            if (longOf(argument(params, 2)) != 0) {
                later_.emplace_back(event, std::move(args));
                ::PostMessageW(window_, kRaiseLater, 0, 0);
            } else {
                point_->raise(event, args);
            }
            return S_OK;
        }
        case RaiseOnNextCall:
            script_.raiseOnNextCall(textOf(argument(params, 0)), longOf(argument(params, 1)),
                                    argumentsOf(argument(params, 2)));
            return S_OK;
        case EventResults:
            return giveText(result, point_->results());
        case SetValue: {
            const std::wstring key = textOf(argument(params, 0));
            const VARIANT* value = argument(params, 1);
            const bool rig1 = key.rfind(L"rig1.", 0) == 0;
            const bool rig2 = key.rfind(L"rig2.", 0) == 0;
            if (value == nullptr || !(rig1 || rig2) ||
                !rigs_[rig1 ? 0 : 1]->setValue(key.substr(5), *value)) {
                return E_INVALIDARG;
            }
            return S_OK;
        }
        case Quit:
            if (onQuit) {
                onQuit();
            }
            return S_OK;
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

LRESULT CALLBACK StandInServer::windowProcedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == kRaiseLater) {
        auto* server = reinterpret_cast<StandInServer*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (server != nullptr && !server->shutDown_ && !server->later_.empty()) {
            auto event = std::move(server->later_.front());
            server->later_.pop_front();
            server->AddRef();
            server->point_->raise(event.first, event.second);
            server->Release();
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, w, l);
}

}  // namespace StandIn
