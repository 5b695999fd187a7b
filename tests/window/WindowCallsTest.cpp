// The window's calls whose effect no run under Wine shows, recorded as the window makes them:
// the controls' font is set without a redraw (the window is still hidden then), and the window
// is painted at once when it is shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "ImportSwap.h"
#include "SelectionWindow.h"
#include "WindowTestSupport.h"

using namespace TARNWICK;
using namespace WINDOWTEST;

namespace
{

std::vector<std::wstring> windowCalls;

template <typename Function> Function User32(const char* name)
{
    return PlatformFunction<Function>(L"user32.dll", name);
}

LRESULT WINAPI RecordSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETFONT)
        windowCalls.push_back(Call(L"WM_SETFONT", window, wParam, lParam));
    return User32<decltype(&SendMessageW)>("SendMessageW")(window, message, wParam, lParam);
}

BOOL WINAPI RecordShow(HWND window, int command)
{
    windowCalls.push_back(Call(L"ShowWindow", window, command));
    return User32<decltype(&ShowWindow)>("ShowWindow")(window, command);
}

BOOL WINAPI RecordUpdate(HWND window)
{
    windowCalls.push_back(Call(L"UpdateWindow", window));
    return User32<decltype(&UpdateWindow)>("UpdateWindow")(window);
}

class WindowCalls : public testing::Test
{
protected:
    void TearDown() override { RemoveSelectionWindow(); }
};

TEST_F(WindowCalls, FontSetWithoutRedrawOnEachControlThenWindowShownAndPainted)
{
    windowCalls.clear();
    std::vector<HWND> controls;
    HWND window = nullptr;
    {
        const ImportSwap send("user32.dll", "SendMessageW", reinterpret_cast<void*>(&RecordSend));
        const ImportSwap show("user32.dll", "ShowWindow", reinterpret_cast<void*>(&RecordShow));
        const ImportSwap update("user32.dll", "UpdateWindow", reinterpret_cast<void*>(&RecordUpdate));
        // A function that is not imported is never called.
        ASSERT_TRUE(send.Swapped()) << "SendMessageW";
        ASSERT_TRUE(show.Swapped()) << "ShowWindow";
        ASSERT_TRUE(update.Swapped()) << "UpdateWindow";

        SelectionWindow selection(SelectionWindowOptions(), [](HWND) { return true; });
        window = FindSelectionWindow();
        ASSERT_NE(window, nullptr);
        for (const wchar_t* text : {L"OK", L"Cancel", L"Software Rendered - No 3D Acceleration",
                 L"Direct3D Rendered - 3D Accelerated", L"Use Mouse Fix",
                 L"Please select the version you want to run:"})
            controls.push_back(FindControl(window, text));
        // Waiting in the queue, it ends the loop right after the window is shown.
        PostMessageW(window, WM_CLOSE, 0, 0);
        selection.RunMessageLoop();
    }
    std::vector<std::wstring> expected;
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(ANSI_VAR_FONT));
    const LPARAM noRedraw = 0;
    for (HWND control : controls)
        expected.push_back(Call(L"WM_SETFONT", control, font, noRedraw));
    expected.push_back(Call(L"ShowWindow", window, SW_SHOW));
    expected.push_back(Call(L"UpdateWindow", window));
    EXPECT_EQ(windowCalls, expected);
}

} // namespace
