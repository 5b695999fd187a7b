// The windows of a program under test as a user meets them: found by class, read, and pressed.
#pragma once

#include "Process.h"

#include <windows.h>

#include <string>
#include <vector>

// The first shown top-level window of the process with one of the classes; null once the process
// has ended without one, or after the timeout.
HWND WaitForShownWindow(const Process& process, const std::vector<std::wstring>& classNames);
// The shown top-level window of one of this process's threads with one of the classes, found at
// once; null when there is none.
HWND ShownThreadWindow(DWORD threadId, const std::vector<std::wstring>& classNames);

std::wstring ClassName(HWND window);
std::wstring Text(HWND window);
// The children of one class, shown or hidden, in the order the window holds them.
std::vector<HWND> Children(HWND parent, const std::wstring& className);
// A message box's text, and its icon control when it shows one (null otherwise).
std::wstring MessageText(HWND box);
HWND ShownIcon(HWND box);

// Sent as a user's action would arrive; false when the program did not answer in time.
bool Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
inline bool Click(HWND button) { return Send(button, BM_CLICK); }
inline bool Close(HWND window) { return Send(window, WM_CLOSE); }
