// Windows of programs under test found and read through the platform's window calls.
#include "TopLevelWindows.h"

#include <ostream>

namespace
{

constexpr DWORD POLL_MS = 50;
// Long enough for a window whose thread has shown it to become the foreground window.
constexpr DWORD SHOWN_MS = 5000;
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

bool IsOwnWindow(HWND window)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == GetCurrentProcessId();
}

// Which of the icons the control's pixels on the screen show, as the control draws an icon: over
// its background, which the icon's transparent corner shows. -1: none of them.
int PicturedIcon(HWND control, const std::vector<HICON>& icons)
{
    RECT area{};
    GetClientRect(control, &area);
    POINT origin{0, 0};
    ClientToScreen(control, &origin);
    const int width = area.right;
    const int height = area.bottom;
    BITMAPINFO format{};
    format.bmiHeader = {sizeof format.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    void* seenBits = nullptr;
    void* drawnBits = nullptr;
    const HBITMAP seen = CreateDIBSection(memory, &format, DIB_RGB_COLORS, &seenBits, nullptr, 0);
    const HBITMAP drawn = CreateDIBSection(memory, &format, DIB_RGB_COLORS, &drawnBits, nullptr, 0);
    int pictured = -1;
    if (seen && drawn && width > 0 && height > 0)
    {
        const HGDIOBJ original = SelectObject(memory, seen);
        BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
        const HBRUSH background = CreateSolidBrush(GetPixel(memory, 0, 0));
        SelectObject(memory, drawn);
        const auto* seenPixels = static_cast<const DWORD*>(seenBits);
        const auto* drawnPixels = static_cast<const DWORD*>(drawnBits);
        for (size_t index = 0; pictured < 0 && index < icons.size(); ++index)
        {
            FillRect(memory, &area, background);
            DrawIconEx(memory, 0, 0, icons[index], width, height, 0, nullptr, DI_NORMAL);
            GdiFlush();
            bool same = true;
            // The screen keeps no alpha.
            for (int i = 0; same && i < width * height; ++i)
                same = (seenPixels[i] & 0xFFFFFF) == (drawnPixels[i] & 0xFFFFFF);
            if (same)
                pictured = static_cast<int>(index);
        }
        SelectObject(memory, original);
        DeleteObject(background);
    }
    DeleteObject(seen);
    DeleteObject(drawn);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pictured;
}

std::wstring MessageText(HWND box)
{
    return Text(GetDlgItem(box, MESSAGE_TEXT));
}

// The box's icon control when it shows an icon; null otherwise.
HWND ShownIcon(HWND box)
{
    for (HWND control : Children(box, L"Static"))
        if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(control) &&
            SendMessageW(control, STM_GETICON, 0, 0) != 0)
            return control;
    return nullptr;
}

BoxIcon ReadIcon(HWND box)
{
    const HWND control = ShownIcon(box);
    if (!control)
        return BoxIcon::None;
    const HICON error = LoadIconW(nullptr, IDI_ERROR);
    // The system's icons are shared within a process, but each process loads its own.
    if (IsOwnWindow(box))
        return reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0)) == error ? BoxIcon::Error
                                                                                            : BoxIcon::Other;
    // Another process's box is seen on the screen once it is painted there, which takes long on a
    // busy machine; until then the control shows none of the icons a box can show.
    const std::vector<HICON> icons = {error, LoadIconW(nullptr, IDI_WARNING), LoadIconW(nullptr, IDI_INFORMATION),
                                      LoadIconW(nullptr, IDI_QUESTION), LoadIconW(nullptr, IDI_APPLICATION)};
    for (DWORD waited = 0; waited < PATIENCE_MS; waited += POLL_MS, Sleep(POLL_MS))
        switch (PicturedIcon(control, icons))
        {
        case -1:
            break;
        case 0:
            return BoxIcon::Error;
        default:
            return BoxIcon::Other;
        }
    return BoxIcon::Other;
}

std::string Narrow(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

const wchar_t PLAIN_FRAME[] = L"TarnwickTestPlainFrame";

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

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, PATIENCE_MS, &result) != 0;
}

void Dismiss(HWND window)
{
    Close(window);
    for (HWND button : Children(window, L"Button"))
        if (IsWindowVisible(window))
            Click(button);
}

bool operator==(const BoxReading& left, const BoxReading& right)
{
    return left.caption == right.caption && left.text == right.text && left.icon == right.icon &&
           left.buttons == right.buttons;
}

void PrintTo(const BoxReading& box, std::ostream* out)
{
    const char* const icons[] = {"no icon", "the error icon", "another icon"};
    *out << "\"" << Narrow(box.caption) << "\": \"" << Narrow(box.text) << "\", "
         << icons[static_cast<int>(box.icon)] << ", buttons:";
    for (const std::wstring& button : box.buttons)
        *out << " [" << Narrow(button) << "]";
}

BoxReading ReadBox(HWND box)
{
    BoxReading reading{Text(box), MessageText(box), ReadIcon(box), {}};
    for (HWND button : Children(box, L"Button"))
        reading.buttons.push_back(std::to_wstring(GetDlgCtrlID(button)) + L" " + Text(button) +
                                  (IsWindowVisible(button) ? L"" : L" hidden"));
    return reading;
}

BoxReading OkBox(const std::wstring& caption, const std::wstring& text, BoxIcon icon)
{
    return {caption, text, icon, {std::to_wstring(IDOK) + L" OK"}};
}

bool ComesToFront(HWND window)
{
    // Answered once the window's thread is back in its message loop, past showing the window.
    Send(window, WM_NULL);
    for (DWORD waited = 0; waited < SHOWN_MS; waited += POLL_MS, Sleep(POLL_MS))
    {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        if (GetForegroundWindow() == window &&
            GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) && thread.hwndActive == window)
            return true;
    }
    return false;
}

DWORD PlainExtendedStyle(DWORD frameStyle, const std::wstring& controlClass, DWORD controlStyle)
{
    WNDCLASSW frameClass{};
    frameClass.lpfnWndProc = DefWindowProcW;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.lpszClassName = PLAIN_FRAME;
    // Registered by an earlier call, or now.
    RegisterClassW(&frameClass);
    const HWND frame = CreateWindowExW(0, PLAIN_FRAME, L"", frameStyle, 0, 0, 100, 100, nullptr, nullptr,
                                       frameClass.hInstance, nullptr);
    const HWND plain = controlClass.empty() ? frame
                                            : CreateWindowExW(0, controlClass.c_str(), L"", controlStyle, 0, 0, 50,
                                                              20, frame, nullptr, nullptr, nullptr);
    const auto style = static_cast<DWORD>(GetWindowLongW(plain, GWL_EXSTYLE));
    DestroyWindow(frame);
    return style;
}
