#include "ComApartment.h"

#include <objbase.h>

#include "ComFailure.h"

namespace OmniRig::ComApartment {

RigResult enterSingleThreaded() {
    thread_local bool entered = false;
    if (entered) {
        return RigResult::ok();
    }
    // S_FALSE: the thread was already single-threaded (a GUI library's doing); the extra count
    // is never given back, like ours.
    const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (hr == RPC_E_CHANGED_MODE) {
        return RigResult::fail(static_cast<int32_t>(hr),
                               "The object runtime runs multi-threaded on this thread; the rig "
                               "server needs it single-threaded");
    }
    if (FAILED(hr)) {
        return ComFailure::fromCall(hr, "The object runtime cannot be started");
    }
    entered = true;
    return RigResult::ok();
}

}  // namespace OmniRig::ComApartment
