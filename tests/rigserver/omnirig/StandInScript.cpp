#include "StandInScript.h"

#include "StandInIds.h"

namespace StandIn {

namespace {

bool startsWith(const std::wstring& s, const std::wstring& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

HRESULT StandInScript::handle(const std::wstring& call, EXCEPINFO* exception,
                              const std::function<HRESULT()>& body) {
    calls_.push_back(call);
    HRESULT hr = S_OK;
    bool failed = false;
    for (auto& f : failures_) {
        if (f.times != 0 && startsWith(call, f.prefix)) {
            if (f.times > 0) {
                --f.times;
            }
            hr = fail(f, exception);
            failed = true;
            break;
        }
    }
    if (!failed) {
        hr = body();
    }
    for (size_t i = 0; i < triggers_.size(); ++i) {
        if (startsWith(call, triggers_[i].prefix)) {
            // Taken out before it runs: the client may call again while the event is delivered.
            Trigger t = std::move(triggers_[i]);
            triggers_.erase(triggers_.begin() + static_cast<std::ptrdiff_t>(i));
            if (raise) {
                raise(t.event, t.args);
            }
            break;
        }
    }
    return hr;
}

HRESULT StandInScript::fail(const Failure& f, EXCEPINFO* exception) const {
    if (exception == nullptr) {
        return f.code;
    }
    *exception = EXCEPINFO{};
    exception->bstrSource = ::SysAllocString(L"ZuvozeRaro stand-in");
    if (!f.description.empty()) {
        exception->bstrDescription = ::SysAllocString(f.description.c_str());
    }
    if (f.style == kErrorNumber) {
        exception->wCode = static_cast<WORD>(f.code & 0xFFFF);
    } else {
        exception->scode = f.code;
    }
    return DISP_E_EXCEPTION;
}

void StandInScript::failCall(std::wstring prefix, HRESULT code, std::wstring description,
                             LONG style, LONG times) {
    failures_.push_back({std::move(prefix), code, std::move(description), style, times});
}

void StandInScript::raiseOnNextCall(std::wstring prefix, DISPID event,
                                    std::vector<StandInVariant> args) {
    triggers_.push_back({std::move(prefix), event, std::move(args)});
}

std::wstring StandInScript::callRecord() const {
    std::wstring out;
    for (const auto& c : calls_) {
        out += c;
        out += L'\n';
    }
    return out;
}

}  // namespace StandIn
