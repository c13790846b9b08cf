#pragma once
// Hands out the one server object of the process to every client that the runtime sends.

#include <windows.h>

#include <unknwn.h>

namespace StandIn {

class StandInClassFactory final : public IClassFactory {
public:
    explicit StandInClassFactory(IUnknown* server) : server_(server) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    // Refuses every client from now on.
    void close() { server_ = nullptr; }

private:
    IUnknown* server_;
};

}  // namespace StandIn
