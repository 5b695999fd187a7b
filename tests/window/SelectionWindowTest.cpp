// The renderer-choice window on Wine: its start state, its commands, its frame and its failures.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include "RowName.h"
#include "SelectionWindow.h"
#include "TopLevelWindows.h"
#include "WindowTestSupport.h"

using namespace TARNWICK;
using namespace WINDOWTEST;

namespace
{

const wchar_t* const SoftwareText = L"Software Rendered - No 3D Acceleration";
const wchar_t* const Direct3DText = L"Direct3D Rendered - 3D Accelerated";
const wchar_t* const MouseFixText = L"Use Mouse Fix";

bool Offered(HWND) { return true; }
bool NotOffered(HWND) { return false; }
bool IsChecked(HWND control) { return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool IsEnabled(HWND control) { return IsWindowEnabled(control) != FALSE; }

SelectionWindowOptions Options(std::int32_t mode, bool mouseFix)
{
    SelectionWindowOptions options;
    options.renderingMode = mode;
    options.useMouseFix = mouseFix;
    return options;
}

template <typename Condition> bool WaitUntil(Condition condition)
{
    for (int tries = 0; tries < 200; ++tries, Sleep(25))
    {
        if (condition())
        {
            return true;
        }
    }
    return false;
}

class CbtHook
{
public:
    explicit CbtHook(HOOKPROC procedure) : hook(SetWindowsHookExW(WH_CBT, procedure, nullptr, GetCurrentThreadId())) {}
    ~CbtHook() { UnhookWindowsHookEx(hook); }

private:
    HHOOK hook;
};

class SelectionWindowTest : public testing::Test
{
protected:
    void TearDown() override { RemoveSelectionWindow(); }
};


// --- State right after creation: options given x probe answer ---

struct StartRow
{
    const char* name;
    std::int32_t mode;
    bool mouseFix, probe;
    bool direct3DEnabled, direct3DChecked, boxEnabled, boxTicked;
    std::int32_t modeAfter;
};
void PrintTo(const StartRow& row, std::ostream* out) { *out << row.name; }

class StartState : public SelectionWindowTest, public testing::WithParamInterface<StartRow>
{
};

TEST_P(StartState, ShowsTheChoiceThatCanBeOffered)
{
    const StartRow& row = GetParam();
    SelectionWindow selection(Options(row.mode, row.mouseFix), row.probe ? Offered : NotOffered);
    const HWND window = FindSelectionWindow();
    ASSERT_NE(window, nullptr);
    const HWND direct3D = FindControl(window, Direct3DText);
    const HWND box = FindControl(window, MouseFixText);

    EXPECT_EQ(IsEnabled(direct3D), row.direct3DEnabled);
    EXPECT_EQ(IsChecked(direct3D), row.direct3DChecked);
    EXPECT_EQ(IsChecked(FindControl(window, SoftwareText)), !row.direct3DChecked);
    EXPECT_EQ(IsEnabled(box), row.boxEnabled);
    EXPECT_EQ(IsChecked(box), row.boxTicked);
    EXPECT_EQ(selection.GetOptions()->renderingMode, row.modeAfter);
    EXPECT_EQ(selection.GetOptions()->useMouseFix, row.mouseFix) << "only OK writes the mouse fix";
    EXPECT_FALSE(selection.IsAccepted());
}

const StartRow StartRows[] = {
    {"Direct3DWithFix_Offered_Direct3DAndTicked", 1, true, true, true, true, true, true, 1},
    {"Direct3DWithoutFix_Offered_Direct3DAndClear", 1, false, true, true, true, true, false, 1},
    {"SoftwareWithFix_Offered_SoftwareAndBoxOff", 0, true, true, true, false, false, false, 0},
    {"OtherMode_Offered_SoftwareAndModeKept", 7, true, true, true, false, false, false, 7},
    {"Direct3DWithFix_NotOffered_SoftwareForced", 1, true, false, false, false, false, false, 0},
    {"OtherMode_NotOffered_ModeZero", -2, false, false, false, false, false, false, 0},
};
INSTANTIATE_TEST_SUITE_P(Table, StartState, testing::ValuesIn(StartRows), RowName());

// --- Commands, clicked by a second thread while the message loop runs ---

// ArrowDown: the down-arrow key on the software radio button, which only the loop's dialog
// handling turns into a move to the Direct3D radio button.
enum class Click { Software, Direct3D, MouseFix, Ok, Cancel, Close, ArrowDown };

struct Drive
{
    bool boxEnabled = false;
    bool boxTicked = false;
    bool inFront = false;
    bool loopEnded = false;
};

void Press(HWND window, Click click)
{
    const wchar_t* const texts[] = {SoftwareText, Direct3DText, MouseFixText, L"OK", L"Cancel"};
    if (click == Click::Close)
    {
        SendMessageW(window, WM_CLOSE, 0, 0);
    }
    else if (click == Click::ArrowDown)
    {
        PostMessageW(FindControl(window, SoftwareText), WM_KEYDOWN, VK_DOWN, 0);
        WaitUntil([&] { return IsChecked(FindControl(window, Direct3DText)); });
    }
    else
    {
        SendMessageW(FindControl(window, texts[static_cast<int>(click)]), BM_CLICK, 0, 0);
    }
}

// Runs the window's loop while a second thread clicks; the box's state is read before the last
// click. A loop that does not end by itself is ended from outside, so the test fails, not hangs.
Drive RunWhileClicking(SelectionWindow& selection, HWND window, const std::vector<Click>& clicks)
{
    const DWORD loopThread = GetCurrentThreadId();
    std::atomic<bool> returned(false);
    Drive drive;
    std::thread user([&] {
        if (WaitUntil([&] { return IsWindowVisible(window) != FALSE; }))
        {
            drive.inFront = ComesToFront(window);
            const HWND box = FindControl(window, MouseFixText);
            for (std::size_t i = 0; i < clicks.size(); ++i)
            {
                drive.boxEnabled = IsEnabled(box);
                drive.boxTicked = IsChecked(box);
                Press(window, clicks[i]);
            }
        }
        drive.loopEnded = WaitUntil([&] { return returned.load(); });
        if (!drive.loopEnded)
        {
            PostThreadMessageW(loopThread, WM_QUIT, 0, 0);
        }
    });
    selection.RunMessageLoop();
    returned = true;
    user.join();
    return drive;
}

struct CommandRow
{
    const char* name;
    std::int32_t mode;
    bool mouseFix, probe;
    std::vector<Click> clicks;
    bool boxEnabledAtLastClick, boxTickedAtLastClick;
    bool accepted;
    std::int32_t modeAfter;
    bool mouseFixAfter;
};
void PrintTo(const CommandRow& row, std::ostream* out) { *out << row.name; }

class Commands : public SelectionWindowTest, public testing::WithParamInterface<CommandRow>
{
};

TEST_P(Commands, EndWithTheRecordAsTheUserLeftIt)
{
    const CommandRow& row = GetParam();
    SelectionWindow selection(Options(row.mode, row.mouseFix), row.probe ? Offered : NotOffered);
    // Taken before the loop: the record is shared, so it shows what OK writes.
    const std::shared_ptr<SelectionWindowOptions> options = selection.GetOptions();
    const HWND window = FindSelectionWindow();
    ASSERT_NE(window, nullptr);

    const Drive drive = RunWhileClicking(selection, window, row.clicks);

    ASSERT_TRUE(drive.loopEnded) << "the message loop did not end";
    EXPECT_TRUE(drive.inFront) << "the shown window is not the foreground and active window";
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(drive.boxEnabled, row.boxEnabledAtLastClick);
    EXPECT_EQ(drive.boxTicked, row.boxTickedAtLastClick);
    EXPECT_EQ(selection.IsAccepted(), row.accepted);
    EXPECT_EQ(options->renderingMode, row.modeAfter);
    EXPECT_EQ(options->useMouseFix, row.mouseFixAfter);
}

using C = Click;
const CommandRow CommandRows[] = {
    {"OkAtOnce_Direct3DWithFix", 1, true, true, {C::Ok}, true, true, true, 1, true},
    {"OkAtOnce_NotOffered_SoftwareWithoutFix", 1, true, false, {C::Ok}, false, false, true, 0, false},
    {"Cancel_NotOffered_ForcedModeAndGivenFixKept", 1, true, false, {C::Cancel}, false, false, false, 0, true},
    {"Direct3DChosen_StoredTickNotBroughtBack", 0, true, true, {C::Direct3D, C::Ok}, true, false, true, 1, false},
    {"Direct3DChosenAndTicked_MouseFix", 0, false, true, {C::Direct3D, C::MouseFix, C::Ok}, true, true, true, 1,
     true},
    {"TickClearedBySoftware_NotBroughtBackByDirect3D", 0, false, true,
     {C::Direct3D, C::MouseFix, C::Software, C::Direct3D, C::Ok}, true, false, true, 1, false},
    {"SoftwareChosen_BoxOffAndNoMouseFix", 1, true, true, {C::Software, C::Ok}, false, false, true, 0, false},
    {"OtherModeOk_Software", 5, true, true, {C::Ok}, false, false, true, 0, false},
    {"CancelAfterChanges_RecordUnchanged", 1, true, true, {C::Software, C::Cancel}, false, false, false, 1, true},
    {"CloseAfterUntick_RecordUnchanged", 1, true, true, {C::MouseFix, C::Close}, true, false, false, 1, true},
    {"ArrowKeyFromSoftware_Direct3D", 0, false, true, {C::ArrowDown, C::Ok}, true, false, true, 1, false},
};
INSTANTIATE_TEST_SUITE_P(Table, Commands, testing::ValuesIn(CommandRows), RowName());

TEST_F(SelectionWindowTest, RunMessageLoopForgetsAnEarlierOk)
{
    SelectionWindow selection(Options(0, false), Offered);
    ASSERT_TRUE(RunWhileClicking(selection, FindSelectionWindow(), {C::Ok}).loopEnded);
    ASSERT_TRUE(selection.IsAccepted());

    // The window is gone: only a quit message of the test's own ends this loop.
    PostThreadMessageW(GetCurrentThreadId(), WM_QUIT, 0, 0);
    selection.RunMessageLoop();
    EXPECT_FALSE(selection.IsAccepted());
}

// --- The frame, the class and the controls ---

struct Creation
{
    std::wstring className, text;
    DWORD style, extendedStyle;
    int x, y, cx, cy;
    UINT_PTR identifier;
    HWND parent;
    bool operator==(const Creation& other) const
    {
        return className == other.className && text == other.text && style == other.style
            && extendedStyle == other.extendedStyle && x == other.x && y == other.y && cx == other.cx
            && cy == other.cy && identifier == other.identifier && parent == other.parent;
    }
};
void PrintTo(const Creation& made, std::ostream* out)
{
    *out << std::string(made.text.begin(), made.text.end()) << " id " << made.identifier << " style " << std::hex
         << made.style << "/" << made.extendedStyle << std::dec << " at " << made.x << "," << made.y << " size "
         << made.cx << "x" << made.cy;
}

std::vector<Creation> creations;

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam)
{
    wchar_t className[16] = {};
    // The platform makes an input-method window of its own for the thread's first window.
    if (code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(wParam), className, 16) > 0
        && std::wstring(className) != L"IME")
    {
        const CREATESTRUCTW& create = *reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        creations.push_back({className, create.lpszName ? create.lpszName : L"", static_cast<DWORD>(create.style),
                             create.dwExStyle, create.x, create.y, create.cx, create.cy,
                             reinterpret_cast<UINT_PTR>(create.hMenu), create.hwndParent});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SelectionWindowTest, FrameIsCentredFixedAndWithoutCloseBox)
{
    SelectionWindow selection(SelectionWindowOptions(), Offered);
    const HWND window = FindSelectionWindow();
    ASSERT_NE(window, nullptr);

    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, 64);
    EXPECT_EQ(std::wstring(caption), L"Vantorel:  Dawnmere");
    // Hidden until the loop runs; the platform adds WS_CLIPSIBLINGS to every top-level window.
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & ~WS_CLIPSIBLINGS, WS_CAPTION);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), PlainExtendedStyle(WS_CAPTION));
    RECT frame;
    ASSERT_TRUE(GetWindowRect(window, &frame));
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "the suite runs on a 1024 x 768 screen";
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 768) << "the suite runs on a 1024 x 768 screen";
    EXPECT_EQ(frame.left, 364);
    EXPECT_EQ(frame.top, 294);
    EXPECT_EQ(frame.right - frame.left, 295);
    EXPECT_EQ(frame.bottom - frame.top, 180);

    EXPECT_EQ(GetClassLongW(window, GCL_STYLE), static_cast<DWORD>(CS_DBLCLKS));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrW(window, GCLP_HCURSOR)), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND)), GetSysColorBrush(COLOR_BTNFACE));
    const HICON icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
    EXPECT_NE(icon, nullptr);
    EXPECT_EQ(icon, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101)));
}

TEST_F(SelectionWindowTest, ControlsAreMadeInOrderWithTheirTextsIdentifiersStylesAndPlacesAndFont)
{
    creations.clear();
    CbtHook spy(RecordCreation);
    SelectionWindow selection(SelectionWindowOptions(), Offered);
    const HWND window = FindSelectionWindow();
    ASSERT_NE(window, nullptr);
    const std::vector<Creation> expected = {
        {L"Button", L"OK", 0x50010000, 0, 65, 113, 75, 23, 1000, window},
        {L"Button", L"Cancel", 0x50010000, 0, 150, 113, 75, 23, 1001, window},
        {L"Button", SoftwareText, 0x50010009, 0, 20, 47, 215, 15, 1002, window},
        {L"Button", Direct3DText, 0x50010009, 0, 20, 72, 215, 15, 1003, window},
        {L"Button", MouseFixText, 0x50010003, 0, 45, 93, 100, 15, 0, window},
        {L"Static", L"Please select the version you want to run:", 0x52000000, 0, 6, 11, 300, 15, 0, window},
    };
    ASSERT_EQ(creations.size(), 7u);
    EXPECT_EQ(creations[0].className, L"AppName");
    EXPECT_EQ(creations[0].style, static_cast<DWORD>(WS_CAPTION));
    EXPECT_EQ(std::vector<Creation>(creations.begin() + 1, creations.end()), expected);

    for (const Creation& control : expected)
    {
        const HWND handle = FindControl(window, control.text.c_str());
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageW(handle, WM_GETFONT, 0, 0)), GetStockObject(ANSI_VAR_FONT));
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(handle, GWL_EXSTYLE)),
                  PlainExtendedStyle(WS_CAPTION, control.className, control.style));
    }
    EXPECT_EQ(SendMessageW(window, WM_GETFONT, 0, 0), 0);
}

struct ProbeCall
{
    int calls = 0;
    HWND window = nullptr;
    bool visible = true;
    int controls = 0;
} probeCall;

bool RecordingProbe(HWND window)
{
    probeCall.calls++;
    probeCall.window = window;
    probeCall.visible = IsWindowVisible(window) != FALSE;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
    {
        probeCall.controls++;
    }
    return true;
}

TEST_F(SelectionWindowTest, ProbeIsAskedOnceOnTheHiddenWindowWithItsControls)
{
    probeCall = ProbeCall();
    SelectionWindow selection(SelectionWindowOptions(), RecordingProbe);
    EXPECT_EQ(probeCall.calls, 1);
    EXPECT_EQ(probeCall.window, FindSelectionWindow());
    EXPECT_FALSE(probeCall.visible);
    EXPECT_EQ(probeCall.controls, 6);
}

// --- Set-up failures reach the constructor's caller ---

std::string ConstructionFailure()
{
    try
    {
        SelectionWindow selection(Options(1, true), Offered);
    }
    catch (const std::exception& failure)
    {
        return failure.what();
    }
    return "";
}

LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam)
{
    return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

WNDPROC windowProcedure;
HWND staleWindow;

// Hands WM_CREATE to the window's own procedure with a handle that names no window any more,
// so storing the object's address in it fails.
LRESULT CALLBACK StaleCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(windowProcedure, message == WM_CREATE ? staleWindow : window, message, wParam, lParam);
}

// Windows follows a WM_CREATE that returned -1 with WM_DESTROY; Wine goes straight to
// WM_NCDESTROY. This hands the window's procedure the WM_DESTROY that Windows would send.
LRESULT CALLBACK DestroyAfterFailedCreate(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallWindowProcW(windowProcedure, window, message, wParam, lParam);
    if (message == WM_CREATE && result == -1)
    {
        CallWindowProcW(windowProcedure, window, WM_DESTROY, 0, 0);
    }
    return result;
}

// The procedure that the next window created takes in place of its own.
WNDPROC subclass;

LRESULT CALLBACK SubclassOnCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && windowProcedure == nullptr)
    {
        windowProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(reinterpret_cast<HWND>(wParam), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclass)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(SelectionWindowTest, SecondWindowInOneProcess_FailsToRegisterTheClass)
{
    SelectionWindow first(SelectionWindowOptions(), Offered);
    EXPECT_EQ(ConstructionFailure(), "Failed to register window class.");
}

TEST_F(SelectionWindowTest, RefusedCreation_FailsToCreateWindow)
{
    CbtHook refuse(RefuseCreation);
    EXPECT_EQ(ConstructionFailure(), "Failed to create window.");
}

TEST_F(SelectionWindowTest, UserDataNotStored_FailsToStoreObjectReference)
{
    staleWindow = CreateWindowExW(0, L"Static", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(DestroyWindow(staleWindow));
    windowProcedure = nullptr;
    subclass = StaleCreate;
    CbtHook hook(SubclassOnCreation);
    EXPECT_EQ(ConstructionFailure(), "Failed to store object reference.");
    EXPECT_EQ(FindSelectionWindow(), nullptr);
}

bool FailingProbe(HWND) { throw std::runtime_error("probe failed"); }

TEST_F(SelectionWindowTest, FailureAfterTheObjectIsStored_ReachesTheCallerAndPostsNoQuit)
{
    windowProcedure = nullptr;
    subclass = DestroyAfterFailedCreate;
    std::string failure;
    try
    {
        CbtHook hook(SubclassOnCreation);
        SelectionWindow selection(SelectionWindowOptions(), FailingProbe);
    }
    catch (const std::runtime_error& error)
    {
        failure = error.what();
    }
    EXPECT_EQ(failure, "probe failed");
    EXPECT_EQ(FindSelectionWindow(), nullptr);
    // A WM_QUIT left behind would end the caller's error box at once.
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(SelectionWindowTest, WindowWithoutObject_BuildsNothingAndPostsNoQuit)
{
    SelectionWindow selection(SelectionWindowOptions(), Offered);
    const HWND bare = CreateWindowExW(0, L"AppName", L"", WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(GetWindow(bare, GW_CHILD), nullptr);
    DestroyWindow(bare);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

} // namespace
