// Finding the renderer-choice window and its controls from a test, and cleaning up after it.
#pragma once

#include <windows.h>

namespace WINDOWTEST
{

// The "AppName" window of this thread: other test programs share the Wine desktop.
HWND FindSelectionWindow();

// The child control with the given text.
HWND FindControl(HWND window, const wchar_t* text);

// Destroys what is left of the window, drops its WM_QUIT and unregisters "AppName", so that
// the next SelectionWindow in this process can register the class again.
void RemoveSelectionWindow();

} // namespace WINDOWTEST
