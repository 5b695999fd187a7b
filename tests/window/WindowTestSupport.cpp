// Finding the renderer-choice window and its controls from a test, and cleaning up after it.
#include "WindowTestSupport.h"

#include <string>

namespace WINDOWTEST
{

namespace
{

BOOL CALLBACK MatchSelectionWindow(HWND window, LPARAM found)
{
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (std::wstring(className) == L"AppName")
    {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindSelectionWindow()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), MatchSelectionWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindControl(HWND window, const wchar_t* text)
{
    return FindWindowExW(window, nullptr, nullptr, text);
}

void RemoveSelectionWindow()
{
    if (HWND window = FindSelectionWindow())
    {
        DestroyWindow(window);
    }
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
    }
    UnregisterClassW(L"AppName", GetModuleHandleW(nullptr));
}

} // namespace WINDOWTEST
