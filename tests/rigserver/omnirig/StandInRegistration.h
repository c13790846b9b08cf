#pragma once
// Registers the stand-in as the local server of the rig server's class, with its type library
// (which the runtime needs to carry the event interface between processes).

#include <windows.h>

#include <string>

namespace StandIn {

HRESULT registerServer(const std::wstring& executable);

}  // namespace StandIn
