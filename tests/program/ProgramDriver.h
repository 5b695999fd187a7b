// Drives Tarnwick.exe as a user would: the per-user files it reads, its windows and what it starts.
#pragma once

#include "Process.h"
#include "TestFolder.h"
#include "TopLevelWindows.h"

#include <windows.h>

#include <optional>
#include <string>

namespace TARNWICK::PROGRAM
{

std::string ToUtf8(const std::wstring& text);

// The local application-data folder plus "\Corvash" and "\Corvash\Vantorel\Tarnwick.user.ini".
std::wstring LocalAppDataFolder();
std::wstring MakerFolder();
std::wstring UserIniPath();
// Removes whatever stands in the user INI's place and creates its folder.
bool ResetUserIni();

// The launcher's first shown window, its own or a message box; null once it has ended without one.
HWND WaitForWindow(const Process& launcher);
// The check box and the prompt share the identifier 0: told apart by class.
HWND ChildByClassAndId(HWND parent, const std::wstring& className, int id);
bool IsChecked(HWND button);

// Where the stand-in game writes its report when started in the folder.
std::wstring GameReportPath(const std::wstring& folder);
// Polls for the stand-in game's report in the folder; nothing after the timeout.
std::optional<std::string> WaitForGameReport(const std::wstring& folder);

} // namespace TARNWICK::PROGRAM
