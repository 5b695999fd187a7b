// Drives Ostrevan.exe as a user would: starts it, reads its message box, dismisses the box and
// reads the exit code.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace
{

// Wine starts slowly, the first time in a prefix above all.
const DWORD Patience = 20000;

const wchar_t ExpectedText[] = L"DirectX 6 hardware mode is no longer supported.";
const wchar_t ExpectedCaption[] = L"Vantorel: Dawnmere";
// The message box's text control.
const int TextControl = 0xFFFF;

// The build hands over a Linux path; Wine's drive Z: is the Linux root.
std::wstring ProgramPath()
{
    std::wstring path;
    for (const char* c = OSTREVAN_PROGRAM; *c != '\0'; ++c)
    {
        path += *c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    return path.front() == L'\\' ? L"Z:" + path : path;
}

std::wstring ClassName(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring Text(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

struct ChildSearch
{
    std::wstring className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM context)
{
    auto* search = reinterpret_cast<ChildSearch*>(context);
    if (IsWindowVisible(child) && ClassName(child) == search->className)
    {
        search->found.push_back(child);
    }
    return TRUE;
}

std::vector<HWND> VisibleChildren(HWND parent, const std::wstring& className)
{
    ChildSearch search{className, {}};
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct BoxSearch
{
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<BoxSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && ClassName(window) == L"#32770")
    {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// One run of the program; ended by force if a test leaves it running.
class Notice
{
public:
    explicit Notice(const std::wstring& arguments)
    {
        const std::wstring program = ProgramPath();
        std::wstring line = L"\"" + program + L"\"";
        if (!arguments.empty())
        {
            line += L" " + arguments;
        }
        std::vector<wchar_t> buffer(line.begin(), line.end());
        buffer.push_back(L'\0');
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process))
        {
            process = {};
        }
    }

    ~Notice()
    {
        if (process.hProcess == nullptr)
        {
            return;
        }
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
        {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, Patience);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    Notice(const Notice&) = delete;
    Notice& operator=(const Notice&) = delete;

    bool Started() const { return process.hProcess != nullptr; }

    bool Running() const { return WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT; }

    // The process's shown message box, null if none appears in time.
    HWND WaitForBox() const
    {
        BoxSearch search{process.dwProcessId, nullptr};
        for (const DWORD start = GetTickCount(); GetTickCount() - start < Patience; Sleep(100))
        {
            EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
            if (search.found != nullptr || !Running())
            {
                break;
            }
        }
        return search.found;
    }

    // The exit code; STILL_ACTIVE if the process has not ended in time.
    DWORD WaitForExit() const
    {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(process.hProcess, Patience) == WAIT_OBJECT_0)
        {
            GetExitCodeProcess(process.hProcess, &code);
        }
        return code;
    }

private:
    PROCESS_INFORMATION process{};
};

// What a user sees in the box: caption, text, one OK button and no icon.
void ExpectNoticeBox(HWND box)
{
    EXPECT_EQ(Text(box), ExpectedCaption);
    wchar_t text[256] = {};
    GetDlgItemTextW(box, TextControl, text, 256);
    EXPECT_EQ(std::wstring(text), ExpectedText);

    const std::vector<HWND> buttons = VisibleChildren(box, L"Button");
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(GetDlgCtrlID(buttons[0]), IDOK);
    EXPECT_EQ(Text(buttons[0]), L"OK");

    for (HWND control : VisibleChildren(box, L"Static"))
    {
        const bool showsIcon = (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                               SendMessageW(control, STM_GETICON, 0, 0) != 0;
        EXPECT_FALSE(showsIcon) << "the box shows an icon";
    }
}

enum class Dismissal
{
    OkButton,
    CloseBox,
    CloseMessage
};

// Sent as the button's click or the title bar's close box would arrive.
void Dismiss(HWND box, Dismissal how)
{
    switch (how)
    {
    case Dismissal::OkButton:
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        break;
    case Dismissal::CloseBox:
        PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case Dismissal::CloseMessage:
        PostMessageW(box, WM_CLOSE, 0, 0);
        break;
    }
}

struct NoticeRun
{
    const char* name;
    const wchar_t* arguments;
    Dismissal dismissal;
};

class OstrevanRun : public testing::TestWithParam<NoticeRun>
{
};

TEST_P(OstrevanRun, ShowsTheNoticeAndExitsWithZero)
{
    const NoticeRun& run = GetParam();
    Notice notice(run.arguments);
    ASSERT_TRUE(notice.Started()) << "CreateProcessW failed: " << GetLastError();
    const HWND box = notice.WaitForBox();
    ASSERT_NE(box, nullptr) << "no message box appeared";
    ExpectNoticeBox(box);
    Dismiss(box, run.dismissal);
    EXPECT_EQ(notice.WaitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, OstrevanRun,
    testing::Values(
        NoticeRun{"NoArgumentsDismissedWithOk", L"", Dismissal::OkButton},
        NoticeRun{"NoArgumentsClosedWithCloseBox", L"", Dismissal::CloseBox},
        NoticeRun{"LauncherSwitchesDismissedWithOk", L"-RUNGAME -GAME=SK /h", Dismissal::OkButton},
        NoticeRun{"LauncherSwitchesClosed", L"-RUNGAME -GAME=SK /h", Dismissal::CloseMessage},
        NoticeRun{"RenderingModeArgumentsDismissedWithOk", L"1 -frameratemouse \"a b\"",
            Dismissal::OkButton}),
    [](const testing::TestParamInfo<NoticeRun>& info) { return std::string(info.param.name); });

TEST(OstrevanCopies, TwoCopiesShowTwoBoxesAndEndIndependently)
{
    Notice first(L"");
    Notice second(L"");
    ASSERT_TRUE(first.Started() && second.Started());
    const HWND firstBox = first.WaitForBox();
    const HWND secondBox = second.WaitForBox();
    ASSERT_NE(firstBox, nullptr);
    ASSERT_NE(secondBox, nullptr);
    ASSERT_NE(firstBox, secondBox);

    Dismiss(firstBox, Dismissal::OkButton);
    EXPECT_EQ(first.WaitForExit(), 0u);
    EXPECT_TRUE(second.Running()) << "the second copy ended with the first";
    EXPECT_TRUE(IsWindowVisible(secondBox));

    Dismiss(secondBox, Dismissal::OkButton);
    EXPECT_EQ(second.WaitForExit(), 0u);
}

} // namespace
