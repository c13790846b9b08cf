#include "MessagePump.h"

#include <algorithm>

namespace OmniRigTesting {

namespace {

void handleMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

}  // namespace

bool pumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline,
               HANDLE wakeOn) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        handleMessages();
        if (condition()) {
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        // Woken by a new message or the handle; the slice only bounds a missed wake-up.
        const DWORD slice = static_cast<DWORD>(std::min<long long>(left.count(), 100));
        ::MsgWaitForMultipleObjectsEx(wakeOn != nullptr ? 1 : 0,
                                      wakeOn != nullptr ? &wakeOn : nullptr, slice, QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
    }
}

}  // namespace OmniRigTesting
