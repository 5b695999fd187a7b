// Drives Tarnwick.exe as a user would: the per-user files it reads, its windows and what it starts.
#include "ProgramDriver.h"

#include <shlobj.h>

namespace TARNWICK::PROGRAM
{

namespace
{

constexpr DWORD POLL_MS = 50;

} // namespace

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

std::wstring LocalAppDataFolder()
{
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    return path;
}

std::wstring MakerFolder()
{
    return LocalAppDataFolder() + L"\\Corvash";
}

std::wstring UserIniPath()
{
    return MakerFolder() + L"\\Vantorel\\Tarnwick.user.ini";
}

bool ResetUserIni()
{
    // A case that put a file in the maker's folder's place may have stopped half-way.
    if (Exists(MakerFolder()) && !IsFolder(MakerFolder()))
        RemoveTree(MakerFolder());
    const std::wstring ini = UserIniPath();
    if (!RemoveTree(ini))
        return false;
    const std::wstring folder = ini.substr(0, ini.rfind(L'\\'));
    const int created = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return created == ERROR_SUCCESS || created == ERROR_ALREADY_EXISTS;
}

HWND WaitForWindow(const Process& launcher)
{
    return WaitForShownWindow(launcher, {L"AppName", L"#32770"});
}

HWND ChildByClassAndId(HWND parent, const std::wstring& className, int id)
{
    for (HWND child : Children(parent, className))
        if (GetDlgCtrlID(child) == id)
            return child;
    return nullptr;
}

bool IsChecked(HWND button)
{
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::wstring GameReportPath(const std::wstring& folder)
{
    return folder + L"\\game-received.txt";
}

std::optional<std::string> WaitForGameReport(const std::wstring& folder)
{
    for (DWORD waited = 0; waited < PATIENCE_MS; waited += POLL_MS)
    {
        // The game may still be writing: only three whole lines make a report.
        const std::optional<std::string> report = ReadBytes(GameReportPath(folder));
        if (report)
        {
            size_t lines = 0;
            for (char c : *report)
                lines += c == '\n';
            if (lines >= 3)
                return report;
        }
        Sleep(POLL_MS);
    }
    return std::nullopt;
}

} // namespace TARNWICK::PROGRAM
