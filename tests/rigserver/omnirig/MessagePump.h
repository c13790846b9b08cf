#pragma once
// Waiting the way a window's thread waits: the thread's messages (and with them the calls that
// other apartments make into it, such as rig server events) are handled until the condition
// holds or the deadline passes.

#include <windows.h>

#include <chrono>
#include <functional>

namespace OmniRigTesting {

// "wakeOn", when given, is a handle whose signal can make the condition true.
bool pumpUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds deadline = std::chrono::seconds(10),
               HANDLE wakeOn = nullptr);

}  // namespace OmniRigTesting
