// Whether this machine can create a Direct3D 9 hardware device on the launcher's window.
#pragma once

#include <windows.h>

struct IDirect3D9;

namespace TARNWICK
{

// Makes the Direct3D 9 object: Direct3DCreate9 in the launcher, an object of their own in tests.
using Direct3DCreator = IDirect3D9*(WINAPI*)(UINT sdkVersion);

// True only when a hardware device could be created on the window; keeps nothing.
bool IsDirect3DAvailable(HWND window, Direct3DCreator createDirect3D);

} // namespace TARNWICK
