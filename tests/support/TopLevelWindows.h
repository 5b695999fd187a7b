// The windows of a program under test as a user meets them: found by class, read, and pressed.
#pragma once

#include "Process.h"

#include <windows.h>

#include <iosfwd>
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
enum class BoxIcon { None, Error, Other };

// A message box whole, as a user meets it. Each button is its identifier and text, and " hidden"
// when it is not shown.
struct BoxReading
{
    std::wstring caption;
    std::wstring text;
    BoxIcon icon = BoxIcon::None;
    std::vector<std::wstring> buttons;
};
bool operator==(const BoxReading& left, const BoxReading& right);
void PrintTo(const BoxReading& box, std::ostream* out);
// The icon is the system's error icon: in this process its very handle, in another its picture
// on the screen, waited for until the box is painted there.
BoxReading ReadBox(HWND box);
// What an MB_OK box reads as: one button, OK.
BoxReading OkBox(const std::wstring& caption, const std::wstring& text, BoxIcon icon);

// Waits until the window is the foreground window and the active one of its thread.
bool ComesToFront(HWND window);
// The extended style that a window made with extended style 0 reads back, the platform's own
// additions included: a top-level window of the frame's style, or a control of the class and
// style on one.
DWORD PlainExtendedStyle(DWORD frameStyle, const std::wstring& controlClass = {}, DWORD controlStyle = 0);

// Sent as a user's action would arrive; false when the program did not answer in time.
bool Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
inline bool Click(HWND button) { return Send(button, BM_CLICK); }
inline bool Close(HWND window) { return Send(window, WM_CLOSE); }
// Ends a window that a test did not expect, as a user would: closes it, or else presses its
// buttons in turn until it is gone.
void Dismiss(HWND window);
