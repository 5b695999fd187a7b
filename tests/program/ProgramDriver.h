// Drives Tarnwick.exe as a user would: files it reads, its process, its windows and what it starts.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace TARNWICK::PROGRAM
{

// Wine passes the build's Linux paths through untouched; its drive Z: is the Linux root.
std::wstring ToWindowsPath(const std::wstring& path);
std::string ToUtf8(const std::wstring& text);

// The local application-data folder plus "\Corvash" and "\Corvash\Vantorel\Tarnwick.user.ini".
std::wstring LocalAppDataFolder();
std::wstring MakerFolder();
std::wstring UserIniPath();

bool WriteBytes(const std::wstring& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
// Removes a file (read-only or not) or a folder tree; true when nothing is left.
bool RemoveTree(const std::wstring& path);
// Removes whatever stands in the user INI's place and creates its folder.
bool ResetUserIni();

// One run of the launcher, its handles closed when it goes.
class Launch
{
public:
    Launch(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder);
    ~Launch();
    Launch(const Launch&) = delete;
    Launch& operator=(const Launch&) = delete;

    bool Started() const { return process.hProcess != nullptr; }
    // The first shown top-level window of the process, its own or a message box; null once the
    // process has ended without one (or after the timeout).
    HWND WaitForWindow() const;
    // The exit code, or nothing when the process is still running after the timeout.
    std::optional<DWORD> WaitForExit() const;

private:
    PROCESS_INFORMATION process{};
};

std::wstring ClassName(HWND window);
std::wstring Text(HWND window);
// The check box and the prompt share the identifier 0: told apart by class.
HWND ChildByClassAndId(HWND parent, const std::wstring& className, int id);
bool IsChecked(HWND button);
// Sent as a user's click or close would arrive; false when the launcher did not answer.
bool Click(HWND button);
bool Close(HWND window);
// The icon control of a message box, null when it has none that shows an icon.
HWND ShownIcon(HWND box);

// Polls for the stand-in game's report in the folder; nothing after the timeout.
std::optional<std::string> WaitForGameReport(const std::wstring& folder);
// True when the report has not appeared after a pause long enough for a started game to write it.
bool GameReportStaysAbsent(const std::wstring& folder);

} // namespace TARNWICK::PROGRAM
