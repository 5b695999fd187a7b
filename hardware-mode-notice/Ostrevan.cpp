// Ostrevan: takes the place of the game's retired DirectX 6 hardware-mode executable and tells
// whoever starts it that the mode is gone. It links no C runtime, so it brings its own start-up.
#include <windows.h>

namespace
{
const wchar_t NoticeText[] = L"DirectX 6 hardware mode is no longer supported.";
const wchar_t NoticeCaption[] = L"Vantorel: Dawnmere";
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Nothing follows the box, so how it ended (or that it could not be shown) changes nothing.
    MessageBoxW(nullptr, NoticeText, NoticeCaption, MB_OK);
    return 0;
}

// The process's entry point, named to the linker. WinMain reads none of its arguments, so it is
// given plain ones; with no runtime there are no exit handlers to run before ExitProcess.
extern "C" void OstrevanStartUp()
{
    static char noArguments[] = "";
    ExitProcess(static_cast<UINT>(
        WinMain(GetModuleHandleW(nullptr), nullptr, noArguments, SW_SHOWDEFAULT)));
}
