#include "OmniRigComEventSink.h"

#include "ComRef.h"
#include "ComVariant.h"

namespace OmniRig {

namespace {

const IID& eventInterface() {
    static const IID iid = [] {
        IID parsed{};
        ::IIDFromString(L"{2219175F-E561-47E7-AD17-73C4D8891AA1}", &parsed);
        return parsed;
    }();
    return iid;
}

// RigNumber, and Params of a parameter change, as 32-bit integers; a value the runtime cannot
// coerce is passed on as it came, for the client to refuse.
Variant integerArgument(const VARIANT& value) {
    ComVariant copy;
    if (SUCCEEDED(::VariantCopyInd(copy.get(), const_cast<VARIANT*>(&value)))) {
        if (auto i = copy.toInt32()) {
            return Variant(*i);
        }
    }
    return ComVariant::toContract(value);
}

}  // namespace

OmniRigComEventSink::OmniRigComEventSink(std::shared_ptr<IOmniRigXEvents> events)
    : events_(std::move(events)) {}

std::vector<Variant> OmniRigComEventSink::argumentsOf(DISPID event, const DISPPARAMS* params) {
    if (params == nullptr || params->cArgs == 0 || params->rgvarg == nullptr) {
        return {};
    }
    const UINT count = params->cArgs;
    const UINT named = params->rgdispidNamedArgs == nullptr ? 0 : params->cNamedArgs;
    // Positional arguments come last first, after the named ones; a named argument's id is its
    // position in the declaration.
    std::vector<const VARIANT*> ordered(count, nullptr);
    for (UINT i = named; i < count; ++i) {
        ordered[count - 1 - i] = &params->rgvarg[i];
    }
    for (UINT i = 0; i < named && i < count; ++i) {
        const DISPID position = params->rgdispidNamedArgs[i];
        if (position >= 0 && static_cast<UINT>(position) < count) {
            ordered[position] = &params->rgvarg[i];
        }
    }
    const bool numbered = event >= DISPID_RigTypeChange && event <= DISPID_CustomReply;
    std::vector<Variant> args;
    args.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        const VARIANT* v = ordered[i];
        if (v == nullptr) {
            args.emplace_back();
        } else if ((i == 0 && numbered) || (i == 1 && event == DISPID_ParamsChange)) {
            args.push_back(integerArgument(*v));
        } else {
            args.push_back(ComVariant::toContract(*v));
        }
    }
    return args;
}

HRESULT OmniRigComEventSink::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, eventInterface())) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG OmniRigComEventSink::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG OmniRigComEventSink::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT OmniRigComEventSink::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT OmniRigComEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    return DISP_E_BADINDEX;
}

HRESULT OmniRigComEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
    for (UINT i = 0; ids != nullptr && i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT OmniRigComEventSink::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO*, UINT*) {
    if (result != nullptr) {
        ::VariantInit(result);
    }
    // Held for the call: a handler may end the subscription, and the server then lets go of us.
    auto self = ComRef<OmniRigComEventSink>::share(this);
    auto events = events_;
    if (!events) {
        return S_OK;
    }
    try {
        events->Invoke(member, argumentsOf(member, params));
    } catch (...) {
        // Nothing may unwind into the runtime's delivery code.
    }
    return S_OK;
}

}  // namespace OmniRig
