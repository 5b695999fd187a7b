// Drives Ostrevan.exe as a user would: starts it, reads its message box, dismisses the box and
// reads the exit code.
#include "Process.h"
#include "RowName.h"
#include "TopLevelWindows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace
{

const std::wstring Program = ToWindowsPath(OSTREVAN_PROGRAM);

HWND WaitForBox(const Process& notice)
{
    return WaitForShownWindow(notice, {L"#32770"});
}

// What a user sees in the box: caption, text, one OK button and no icon.
void ExpectNoticeBox(HWND box)
{
    EXPECT_EQ(ReadBox(box), OkBox(L"Vantorel: Dawnmere", L"DirectX 6 hardware mode is no longer supported.",
        BoxIcon::None));
}

enum class Dismissal
{
    OkButton,
    CloseBox,
    CloseMessage
};

bool Dismiss(HWND box, Dismissal how)
{
    switch (how)
    {
    case Dismissal::OkButton:
        return Click(GetDlgItem(box, IDOK));
    case Dismissal::CloseBox:
        return Send(box, WM_SYSCOMMAND, SC_CLOSE);
    case Dismissal::CloseMessage:
        return Close(box);
    }
    return false;
}

struct NoticeRun
{
    const char* name;
    const wchar_t* arguments;
    Dismissal dismissal;
};

using OstrevanRun = testing::TestWithParam<NoticeRun>;

TEST_P(OstrevanRun, ShowsTheNoticeAndExitsWithZero)
{
    const NoticeRun& run = GetParam();
    const Process notice(Program, run.arguments);
    ASSERT_TRUE(notice.Started()) << "CreateProcessW failed: error " << notice.StartError();
    const HWND box = WaitForBox(notice);
    ASSERT_NE(box, nullptr) << "no message box appeared";
    ExpectNoticeBox(box);
    EXPECT_TRUE(Dismiss(box, run.dismissal));
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
    RowName());

TEST(OstrevanCopies, TwoCopiesShowTwoBoxesAndEndIndependently)
{
    const Process first(Program, L"");
    const Process second(Program, L"");
    ASSERT_TRUE(first.Started() && second.Started());
    const HWND firstBox = WaitForBox(first);
    const HWND secondBox = WaitForBox(second);
    ASSERT_NE(firstBox, nullptr);
    ASSERT_NE(secondBox, nullptr);
    ASSERT_NE(firstBox, secondBox);

    EXPECT_TRUE(Dismiss(firstBox, Dismissal::OkButton));
    EXPECT_EQ(first.WaitForExit(), 0u);
    EXPECT_TRUE(second.Running()) << "the second copy ended with the first";
    EXPECT_TRUE(IsWindowVisible(secondBox));

    EXPECT_TRUE(Dismiss(secondBox, Dismissal::OkButton));
    EXPECT_EQ(second.WaitForExit(), 0u);
}

} // namespace
