// The window's calls whose effect no run under Wine shows, recorded as the window makes them:
// the window is centred on the primary screen (on one Xvfb screen that is also the whole virtual
// desktop), the controls' font is set without a redraw (the window is still hidden then), and the
// window is painted at once when it is shown.
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

// A player's two monitors: the primary 1920 x 1080 with a taskbar along its foot, and a
// 1280 x 1440 one to its left reaching higher, so that the virtual desktop is 3200 x 1440 from
// (-1280, -360). None of it matches the run's own screen, so the window's place shows which
// metrics placed it; they are recorded by name, so that a failure says which were asked for.
const struct
{
    int index;
    const wchar_t* name;
    int answer;
} kScreenMetrics[] = {
    {SM_CXSCREEN, L"SM_CXSCREEN", 1920},
    {SM_CYSCREEN, L"SM_CYSCREEN", 1080},
    {SM_CXFULLSCREEN, L"SM_CXFULLSCREEN", 1920},
    {SM_CYFULLSCREEN, L"SM_CYFULLSCREEN", 1017},
    {SM_XVIRTUALSCREEN, L"SM_XVIRTUALSCREEN", -1280},
    {SM_YVIRTUALSCREEN, L"SM_YVIRTUALSCREEN", -360},
    {SM_CXVIRTUALSCREEN, L"SM_CXVIRTUALSCREEN", 3200},
    {SM_CYVIRTUALSCREEN, L"SM_CYVIRTUALSCREEN", 1440},
};

int WINAPI RecordMetric(int index)
{
    for (const auto& metric : kScreenMetrics)
        if (metric.index == index)
        {
            windowCalls.push_back(Call(L"GetSystemMetrics", metric.name));
            return metric.answer;
        }
    windowCalls.push_back(Call(L"GetSystemMetrics", index));
    return User32<decltype(&GetSystemMetrics)>("GetSystemMetrics")(index);
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

TEST_F(WindowCalls, CentredOnThePrimaryScreenFontSetWithoutRedrawOnEachControlThenShownAndPainted)
{
    windowCalls.clear();
    std::vector<HWND> controls;
    HWND window = nullptr;
    RECT frame = {};
    {
        const ImportSwap metric("user32.dll", "GetSystemMetrics", reinterpret_cast<void*>(&RecordMetric));
        const ImportSwap send("user32.dll", "SendMessageW", reinterpret_cast<void*>(&RecordSend));
        const ImportSwap show("user32.dll", "ShowWindow", reinterpret_cast<void*>(&RecordShow));
        const ImportSwap update("user32.dll", "UpdateWindow", reinterpret_cast<void*>(&RecordUpdate));
        // A function that is not imported is never called.
        ASSERT_TRUE(metric.Swapped()) << "GetSystemMetrics";
        ASSERT_TRUE(send.Swapped()) << "SendMessageW";
        ASSERT_TRUE(show.Swapped()) << "ShowWindow";
        ASSERT_TRUE(update.Swapped()) << "UpdateWindow";

        SelectionWindow selection(SelectionWindowOptions(), [](HWND) { return true; });
        window = FindSelectionWindow();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(GetWindowRect(window, &frame));
        for (const wchar_t* text : {L"OK", L"Cancel", L"Software Rendered - No 3D Acceleration",
                 L"Direct3D Rendered - 3D Accelerated", L"Use Mouse Fix",
                 L"Please select the version you want to run:"})
            controls.push_back(FindControl(window, text));
        // Waiting in the queue, it ends the loop right after the window is shown; the quit behind
        // it ends the loop also where closing fails, which the window's own tests report.
        PostMessageW(window, WM_CLOSE, 0, 0);
        PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 0, 0);
        selection.RunMessageLoop();
    }
    EXPECT_EQ(frame.left, (1920 - 295) / 2);
    EXPECT_EQ(frame.top, (1080 - 180) / 2);
    EXPECT_EQ(frame.right - frame.left, 295);
    EXPECT_EQ(frame.bottom - frame.top, 180);
    std::vector<std::wstring> expected = {
        Call(L"GetSystemMetrics", L"SM_CXSCREEN"),
        Call(L"GetSystemMetrics", L"SM_CYSCREEN"),
    };
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(ANSI_VAR_FONT));
    const LPARAM noRedraw = 0;
    for (HWND control : controls)
        expected.push_back(Call(L"WM_SETFONT", control, font, noRedraw));
    expected.push_back(Call(L"ShowWindow", window, SW_SHOW));
    expected.push_back(Call(L"UpdateWindow", window));
    EXPECT_EQ(windowCalls, expected);
}

} // namespace
