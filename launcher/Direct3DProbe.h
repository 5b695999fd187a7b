// Whether this machine can create a Direct3D 9 hardware device on the launcher's window.
#pragma once

#include <windows.h>

namespace TARNWICK
{

// True only when a hardware device could be created on the window; keeps nothing.
bool IsDirect3DAvailable(HWND window);

} // namespace TARNWICK
