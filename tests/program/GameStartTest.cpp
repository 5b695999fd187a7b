// The game start without starting anything: which executable is chosen, the game's command
// line character for character, and the copies between user configuration and window options.
// And the box that shows an exception escaping the start-up sequence, and the exit code after it.
#include "CommandLine.h"
#include "GameStart.h"
#include "SelectionWindowOptions.h"
#include "StartUp.h"
#include "TextConversion.h"
#include "configuration/ApplicationConfigurationParameters.h"
#include "configuration/UserConfigurationParameters.h"

#include "ImportSwap.h"
#include "TestFolder.h"
#include "TopLevelWindows.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace
{

using TARNWICK::CONFIGURATION::ApplicationConfigurationParameters;
using TARNWICK::CONFIGURATION::UserConfigurationParameters;

ApplicationConfigurationParameters GamePrograms()
{
    ApplicationConfigurationParameters programs;
    programs.original.directDraw = L"OrigSoft.exe";
    programs.original.direct3D = L"OrigD3D.exe";
    programs.skellmoor.directDraw = L"SkSoft.exe";
    // A blank of its own, to show that the executable is never quoted.
    programs.skellmoor.direct3D = L"Sk D3D.exe";
    return programs;
}

// The whole buffer that the launcher composes from its own command line, zeros included.
std::wstring GameCommandLineBufferFor(const std::string& launcherCommandLine, std::int32_t renderingMode,
    bool frameRateMouse)
{
    const TARNWICK::CommandLine commandLine(launcherCommandLine);
    const std::vector<wchar_t> buffer = TARNWICK::ComposeGameCommandLine(commandLine.GameEdition(),
        renderingMode, frameRateMouse, GamePrograms(),
        TARNWICK::NarrowToWide(commandLine.Arguments()));
    return std::wstring(buffer.begin(), buffer.end());
}

// The line, its terminating zero, and the room of the switch (16) that stays zero when it is
// not written: executable + blank + arguments + switch + zero, never a character less.
std::wstring ExpectedBuffer(const std::wstring& line, bool frameRateMouse)
{
    return line + std::wstring(frameRateMouse ? 1 : 1 + 16, L'\0');
}

TEST(SelectGameExecutable, EachEditionAndModeComparedWithOneAlone)
{
    const struct
    {
        const char* name;
        std::int32_t gameEdition;
        std::int32_t renderingMode;
        const wchar_t* expected;
    } rows[] = {
        {"Skellmoor, Direct3D", 1, 1, L"Sk D3D.exe"},
        {"base game, Direct3D", 0, 1, L"OrigD3D.exe"},
        {"Skellmoor, software", 1, 0, L"SkSoft.exe"},
        {"base game, software", 0, 0, L"OrigSoft.exe"},
        {"mode 2 is software", 1, 2, L"SkSoft.exe"},
        {"mode -1 is software", 1, -1, L"SkSoft.exe"},
        {"edition 2 is the base game", 2, 1, L"OrigD3D.exe"},
        {"edition -1 is the base game", -1, 1, L"OrigD3D.exe"},
    };
    const ApplicationConfigurationParameters programs = GamePrograms();
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(TARNWICK::SelectGameExecutable(row.gameEdition, row.renderingMode, programs), row.expected);
    }
}

TEST(ComposeGameCommandLine, ExecutableBlankArgumentsAndStoredMouseFix)
{
    const struct
    {
        const char* name;
        const char* launcherCommandLine;
        std::int32_t renderingMode;
        bool frameRateMouse;
        const wchar_t* expected;
    } rows[] = {
        {"base game software, blank even without arguments", "-RUNGAME", 0, false, L"OrigSoft.exe "},
        {"base game Direct3D", "-RUNGAME", 1, false, L"OrigD3D.exe "},
        {"Skellmoor software", "-RUNGAME -GAME=SK", 0, false, L"SkSoft.exe "},
        {"Skellmoor Direct3D, unquoted, switch passed on", "-game=sk -h", 1, false, L"Sk D3D.exe -h"},
        {"mouse fix without arguments: two blanks", "-RUNGAME", 1, true, L"OrigD3D.exe  -frameratemouse"},
        {"mouse fix with software rendering", "-RUNGAME", 0, true, L"OrigSoft.exe  -frameratemouse"},
        {"launcher's own switch is no mouse fix", "-RUNGAME -FRAMERATEMOUSE", 1, false, L"OrigD3D.exe "},
        {"quoted runs and passed-on switches", "-RUNGAME /host \"Dawn Keep\" 'a -j' -JOIN x", 1, true,
            L"OrigD3D.exe /host \"Dawn Keep\" 'a -j' -JOIN x -frameratemouse"},
        {"ANSI accented letters", "-RUNGAME \xE9t\xE9", 0, false, L"OrigSoft.exe \u00E9t\u00E9"},
        {"valid UTF-8 with a 4-byte sequence", "-RUNGAME caf\xC3\xA9 \xF0\x9F\x8E\xAE", 0, false,
            L"OrigSoft.exe caf\u00E9 \xD83C\xDFAE"},
        {"UTF-8 spoiled by one ANSI byte: all ANSI", "-RUNGAME \xC3\xA9 \xE9", 0, false,
            L"OrigSoft.exe \u00C3\u00A9 \u00E9"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(GameCommandLineBufferFor(row.launcherCommandLine, row.renderingMode, row.frameRateMouse),
            ExpectedBuffer(row.expected, row.frameRateMouse));
    }
}

TEST(LaunchGame, MissingExecutableIsNoStart)
{
    ApplicationConfigurationParameters programs = GamePrograms();
    programs.original.directDraw = L"NoSuchGame-7f3e.exe";
    const UserConfigurationParameters userParameters;
    EXPECT_FALSE(TARNWICK::LaunchGame(TARNWICK::CommandLine("-RUNGAME"), userParameters, programs));
}

// What LaunchGame asked the process creation for; the creation hands back two events of its
// own as the game's process and thread, so that the test can see them closed.
struct ProcessCreation
{
    int calls = 0;
    bool applicationName = false;
    std::wstring commandLine;
    bool processAttributes = false;
    bool threadAttributes = false;
    BOOL inheritHandles = FALSE;
    DWORD flags = 0;
    bool environment = false;
    bool currentDirectory = false;
    std::string startup;
    HANDLE process = nullptr;
    HANDLE thread = nullptr;
} created;

BOOL WINAPI RecordProcessCreation(LPCWSTR applicationName, LPWSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
    LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD flags, LPVOID environment,
    LPCWSTR currentDirectory, LPSTARTUPINFOW startup, LPPROCESS_INFORMATION information)
{
    ++created.calls;
    created.applicationName = applicationName != nullptr;
    created.commandLine = commandLine != nullptr ? commandLine : L"(null)";
    created.processAttributes = processAttributes != nullptr;
    created.threadAttributes = threadAttributes != nullptr;
    created.inheritHandles = inheritHandles;
    created.flags = flags;
    created.environment = environment != nullptr;
    created.currentDirectory = currentDirectory != nullptr;
    created.startup.assign(reinterpret_cast<const char*>(startup), sizeof *startup);
    created.process = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    created.thread = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    *information = PROCESS_INFORMATION{created.process, created.thread, 4242, 4243};
    return TRUE;
}

bool IsOpen(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != 0;
}

// How the game's process is created: named by its command line alone, in the launcher's folder
// and environment, at normal priority (Wine ignores the class, Windows does not), inheriting none
// of the launcher's handles; and both handles it hands back are closed.
TEST(LaunchGame, CreatesTheGameOnceAsItsOwnProcessAndClosesItsHandles)
{
    UserConfigurationParameters userParameters;
    userParameters.renderingMode = 1;
    userParameters.direct3dOptions.frameRateMouse = true;
    created = ProcessCreation();
    bool started = false;
    {
        const ImportSwap swap("kernel32.dll", "CreateProcessW", reinterpret_cast<void*>(&RecordProcessCreation));
        ASSERT_TRUE(swap.Swapped());
        started = TARNWICK::LaunchGame(TARNWICK::CommandLine("-RUNGAME -GAME=SK /host"), userParameters, GamePrograms());
    }
    // Read at once: a failure reported below may open handles under the same values.
    const bool processKept = IsOpen(created.process);
    const bool threadKept = IsOpen(created.thread);
    EXPECT_TRUE(started);
    ASSERT_EQ(created.calls, 1);
    EXPECT_FALSE(created.applicationName) << "the executable must come from the command line alone";
    EXPECT_EQ(created.commandLine, L"Sk D3D.exe /host -frameratemouse");
    EXPECT_FALSE(created.processAttributes);
    EXPECT_FALSE(created.threadAttributes);
    EXPECT_EQ(created.inheritHandles, FALSE);
    EXPECT_EQ(created.flags, static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    EXPECT_FALSE(created.environment) << "not the launcher's own environment";
    EXPECT_FALSE(created.currentDirectory) << "not the launcher's current folder";
    STARTUPINFOW plain{};
    plain.cb = sizeof plain;
    EXPECT_EQ(created.startup, std::string(reinterpret_cast<const char*>(&plain), sizeof plain));
    EXPECT_FALSE(processKept) << "the game's process handle is kept";
    EXPECT_FALSE(threadKept) << "the game's thread handle is kept";
}

TEST(CopyParameters, BothFieldsUnchangedBothWays)
{
    const struct
    {
        std::int32_t renderingMode;
        bool mouseFix;
    } rows[] = {{1, true}, {0, false}, {1, false}, {0, true}, {2, true}, {-1, false}};
    for (const auto& row : rows)
    {
        SCOPED_TRACE(testing::Message() << "mode " << row.renderingMode << ", mouse fix " << row.mouseFix);

        UserConfigurationParameters stored;
        stored.renderingMode = row.renderingMode;
        stored.direct3dOptions.frameRateMouse = row.mouseFix;
        TARNWICK::SelectionWindowOptions options;
        options.renderingMode = 7;
        options.useMouseFix = !row.mouseFix;
        TARNWICK::CopyUserParametersToOptions(stored, options);
        EXPECT_EQ(options.renderingMode, row.renderingMode);
        EXPECT_EQ(options.useMouseFix, row.mouseFix);

        UserConfigurationParameters chosen;
        chosen.renderingMode = 7;
        chosen.direct3dOptions.frameRateMouse = !row.mouseFix;
        TARNWICK::CopyOptionsToUserParameters(options, chosen);
        EXPECT_EQ(chosen.renderingMode, row.renderingMode);
        EXPECT_EQ(chosen.direct3dOptions.frameRateMouse, row.mouseFix);
    }
}

// Each message box as the launcher asks for it; none is shown.
struct BoxCall
{
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT flags;
    bool operator==(const BoxCall& other) const
    {
        return owner == other.owner && text == other.text && caption == other.caption && flags == other.flags;
    }
};
void PrintTo(const BoxCall& call, std::ostream* out)
{
    *out << "owner " << call.owner << ", \"" << TARNWICK::WideToUtf8(call.text) << "\", \""
         << TARNWICK::WideToUtf8(call.caption) << "\", flags 0x" << std::hex << call.flags << std::dec;
}

std::vector<BoxCall> boxCalls;

int WINAPI RecordBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT flags)
{
    boxCalls.push_back({owner, text ? text : L"(null)", caption ? caption : L"(null)", flags});
    return IDOK;
}

// The local application-data folder that the launcher is told of; empty: the lookup fails.
std::wstring localAppData;

HRESULT WINAPI NameLocalAppData(HWND, int, HANDLE, DWORD, LPWSTR path)
{
    if (localAppData.empty())
        return E_FAIL;
    wcscpy_s(path, MAX_PATH, localAppData.c_str());
    return S_OK;
}

// Each window that a row did not expect, named as the user met it, and closed.
std::vector<std::string> unexpectedWindows;

std::string Describe(HWND window)
{
    std::ostringstream described;
    PrintTo(ReadBox(window), &described);
    return described.str();
}

// Runs `run` on this thread while a second thread, as a user would, acts once on this thread's
// shown window of the expected class (none: no window is expected). Any other window of the
// launcher's, and the expected one when the act leaves it shown, is named in unexpectedWindows and
// closed at once: the row fails in moments instead of waiting for a user in a loop.
void WhileUserActsOn(const wchar_t* expected, const std::function<void(HWND)>& act, const std::function<void()>& run)
{
    const DWORD thread = GetCurrentThreadId();
    std::atomic<bool> returned(false);
    std::thread user([&] {
        HWND acted = nullptr;
        for (; !returned; Sleep(25))
        {
            const HWND window = ShownThreadWindow(thread, {L"AppName", L"#32770"});
            if (window == nullptr)
                continue;
            if (acted == nullptr && expected != nullptr && ClassName(window) == expected)
            {
                act(window);
                acted = window;
                continue;
            }
            unexpectedWindows.push_back(Describe(window) + (window == acted ? ", left shown by the user's act" : ""));
            Dismiss(window);
            // A window that nothing closes: only the end of its loop lets the row go on.
            if (IsWindowVisible(window))
                PostThreadMessageW(thread, WM_QUIT, 0, 0);
        }
    });
    run();
    returned = true;
    user.join();
}

// The sequence in a scratch current folder, with the application INI when one is given. OK is
// pressed in the renderer-choice window when the row expects it; any other window is closed.
int RunStartUpIn(const TestFolder& folder, const char* applicationIni, bool pressOk = false)
{
    if (applicationIni != nullptr)
        WriteBytes(folder / L"Tarnwickb.ini", applicationIni);
    wchar_t previous[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(folder.Path().c_str());
    int exitCode = 0;
    WhileUserActsOn(
        pressOk ? L"AppName" : nullptr, [](HWND window) { Click(GetDlgItem(window, 1000)); },
        [&] { exitCode = TARNWICK::RunStartUpSequence(""); });
    SetCurrentDirectoryW(previous);
    return exitCode;
}

// The flags decide what Wine does not show: a box kept above every window (MB_TOPMOST), pushed
// to the front, modal to the system or to the task, or laid out right to left. So each box of
// the launcher is recorded as called: no owner, caption "Error", MB_OK with the error icon alone.
TEST(LauncherBoxCalls, EachBoxHasNoOwnerTheErrorCaptionAndOnlyOkWithTheErrorIcon)
{
    const char* const programs = "[Original]\r\nDirectDraw=a.exe\r\nDirect3D=b.exe\r\n"
                                 "[Skellmoor]\r\nDirectDraw=c.exe\r\nDirect3D=d.exe\r\n";
    const struct
    {
        const char* name;
        // The sequence's exit code; nothing for the box alone.
        std::function<std::optional<int>(const TestFolder&)> run;
        std::optional<int> exitCode;
        const wchar_t* text;
    } rows[] = {
        {"an exception's message",
            [](const TestFolder&) -> std::optional<int> { TARNWICK::ShowUnexpectedError("Failed."); return {}; },
            {}, L"Failed."},
        {"an exception without a message",
            [](const TestFolder&) -> std::optional<int> { TARNWICK::ShowUnexpectedError(nullptr); return {}; },
            {}, L"An unexpected error occurred."},
        {"no local application-data folder",
            [](const TestFolder& folder) { localAppData.clear(); return RunStartUpIn(folder, nullptr); }, -1,
            L"Cannot find user's Vantorel data."},
        {"a file in the maker's folder's place",
            [](const TestFolder& folder) {
                localAppData = folder.Path();
                WriteBytes(folder / L"Corvash", "");
                return RunStartUpIn(folder, nullptr);
            },
            -1, L"Cannot initialize user's Vantorel data."},
        {"no application INI",
            [](const TestFolder& folder) { localAppData = folder.Path(); return RunStartUpIn(folder, nullptr); }, -1,
            L"Cannot read application configuration."},
        {"a folder in the user INI's place: OK cannot save",
            [programs](const TestFolder& folder) {
                localAppData = folder.Path();
                CreateDirectoryW((folder / L"Corvash").c_str(), nullptr);
                CreateDirectoryW((folder / L"Corvash\\Vantorel").c_str(), nullptr);
                CreateDirectoryW((folder / L"Corvash\\Vantorel\\Tarnwick.user.ini").c_str(), nullptr);
                return RunStartUpIn(folder, programs, true);
            },
            0, L"Cannot update user's Vantorel configuration."},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        TestFolder folder;
        boxCalls.clear();
        unexpectedWindows.clear();
        std::optional<int> exitCode;
        {
            const ImportSwap box("user32.dll", "MessageBoxW", reinterpret_cast<void*>(&RecordBox));
            const ImportSwap lookup("shell32.dll", "SHGetFolderPathW", reinterpret_cast<void*>(&NameLocalAppData));
            ASSERT_TRUE(box.Swapped() && lookup.Swapped());
            exitCode = row.run(folder);
        }
        EXPECT_EQ(exitCode, row.exitCode);
        EXPECT_EQ(boxCalls, (std::vector<BoxCall>{{nullptr, row.text, L"Error", MB_OK | MB_ICONERROR}}));
        EXPECT_EQ(unexpectedWindows, std::vector<std::string>{});
    }
}

// Shows the box on this thread while a second thread reads it and presses OK, as a user would.
std::optional<BoxReading> ShowUnexpectedErrorAndRead(const char* message)
{
    std::optional<BoxReading> seen;
    WhileUserActsOn(
        L"#32770",
        [&](HWND box) {
            seen = ReadBox(box);
            Click(GetDlgItem(box, IDOK));
        },
        [message] { TARNWICK::ShowUnexpectedError(message); });
    return seen;
}

// The system's error icon is shared within a process: the box shows the very handle this process
// loads.
TEST(ShowUnexpectedError, ErrorBoxWithTheMessageOrAFixedSentence)
{
    const struct
    {
        const char* name;
        const char* message;
        const wchar_t* text;
    } rows[] = {
        {"a message", "Failed to create window.", L"Failed to create window."},
        {"no message", nullptr, L"An unexpected error occurred."},
        {"an empty message", "", L"An unexpected error occurred."},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        unexpectedWindows.clear();
        const std::optional<BoxReading> seen = ShowUnexpectedErrorAndRead(row.message);
        ASSERT_TRUE(seen.has_value()) << "no message box shown";
        EXPECT_EQ(*seen, OkBox(L"Error", row.text, BoxIcon::Error));
        EXPECT_EQ(unexpectedWindows, std::vector<std::string>{});
    }
}

// The launcher's WinMain around a sequence that throws, run as a process: the box first, then
// -1 as the exit code that a calling script reads.
TEST(EscapedException, ErrorBoxThenExitCodeMinusOne)
{
    const struct
    {
        const char* name;
        const wchar_t* thrown;
        const wchar_t* text;
    } rows[] = {
        {"a standard exception", L"Failed to create window.", L"Failed to create window."},
        {"a standard exception without text", L"", L"An unexpected error occurred."},
        {"not a standard exception", L"--not-a-standard-exception", L"An unexpected error occurred."},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        const Process launcher(ToWindowsPath(THROWING_LAUNCHER), row.thrown);
        ASSERT_TRUE(launcher.Started());
        const HWND box = WaitForShownWindow(launcher, {L"#32770"});
        ASSERT_NE(box, nullptr) << "no message box shown";
        EXPECT_EQ(ReadBox(box), OkBox(L"Error", row.text, BoxIcon::Error));
        EXPECT_TRUE(launcher.Running()) << "ended before the box was dismissed";
        ASSERT_TRUE(Click(GetDlgItem(box, IDOK)));
        EXPECT_EQ(launcher.WaitForExit(), std::optional<DWORD>(0xFFFFFFFF));
    }
}

} // namespace
