#pragma once
// The object runtime on the calling thread: entered single-threaded once and kept for the
// thread's life, so that every call and every event of the rig server runs on that thread.

#include "RigResult.h"

namespace OmniRig::ComApartment {

// Succeeds when the thread is (now) in a single-threaded apartment; fails when it already runs
// multi-threaded, where events would arrive on other threads.
RigResult enterSingleThreaded();

}  // namespace OmniRig::ComApartment
