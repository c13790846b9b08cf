#pragma once

#include <functional>

namespace OmniRig {

// Runs a function on the thread that owns the client (the GUI thread); the Qt side passes one
// that queues onto the Qt event loop. Every event reaches the client through it.
using Dispatcher = std::function<void(std::function<void()>)>;

}  // namespace OmniRig
