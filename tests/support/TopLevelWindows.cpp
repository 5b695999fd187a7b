// Windows of programs under test found and read through the platform's window calls.
#include "TopLevelWindows.h"

namespace
{

constexpr DWORD POLL_MS = 50;
// The message box's text control.
constexpr int MESSAGE_TEXT = 0xFFFF;

struct WindowSearch
{
    DWORD processId;
    const std::vector<std::wstring>& classNames;
    HWND found;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    for (const std::wstring& name : search->classNames)
        if (ClassName(window) == name)
        {
            search->found = window;
            return FALSE;
        }
    return TRUE;
}

struct ChildSearch
{
    std::wstring className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM parameter)
{
    auto* search = reinterpret_cast<ChildSearch*>(parameter);
    if (ClassName(child) == search->className)
        search->found.push_back(child);
    return TRUE;
}

} // namespace

HWND WaitForShownWindow(const Process& process, const std::vector<std::wstring>& classNames)
{
    for (DWORD waited = 0; process.Started() && waited < PATIENCE_MS; waited += POLL_MS)
    {
        WindowSearch search{process.Id(), classNames, nullptr};
        EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (process.WaitForExit(POLL_MS))
            return nullptr;
    }
    return nullptr;
}

HWND ShownThreadWindow(DWORD threadId, const std::vector<std::wstring>& classNames)
{
    WindowSearch search{GetCurrentProcessId(), classNames, nullptr};
    EnumThreadWindows(threadId, FindShownWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ClassName(HWND window)
{
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring Text(HWND window)
{
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

std::vector<HWND> Children(HWND parent, const std::wstring& className)
{
    ChildSearch search{className, {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring MessageText(HWND box)
{
    return Text(GetDlgItem(box, MESSAGE_TEXT));
}

HWND ShownIcon(HWND box)
{
    for (HWND control : Children(box, L"Static"))
        if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(control) &&
            SendMessageW(control, STM_GETICON, 0, 0) != 0)
            return control;
    return nullptr;
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, PATIENCE_MS, &result) != 0;
}
