// Drives Tarnwick.exe as a user would: files it reads, its process, its windows and what it starts.
#include "ProgramDriver.h"

#include <shlobj.h>

#include <vector>

namespace TARNWICK::PROGRAM
{

namespace
{

// Wine starts a process, creates a Direct3D device and writes files slowly on a busy machine.
constexpr DWORD TIMEOUT_MS = 30000;
constexpr DWORD POLL_MS = 50;
constexpr DWORD ABSENCE_PAUSE_MS = 3000;

const wchar_t GAME_REPORT[] = L"\\game-received.txt";

struct WindowSearch
{
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    const std::wstring name = ClassName(window);
    if (name != L"AppName" && name != L"#32770")
        return TRUE;
    search->found = window;
    return FALSE;
}

struct ChildSearch
{
    std::wstring className;
    int id;
    HWND found;
};

BOOL CALLBACK FindChild(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<ChildSearch*>(parameter);
    if (GetDlgCtrlID(window) != search->id || ClassName(window) != search->className)
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK FindIcon(HWND window, LPARAM parameter)
{
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if (ClassName(window) != L"Static" || (style & SS_TYPEMASK) != SS_ICON || !IsWindowVisible(window))
        return TRUE;
    if (SendMessageW(window, STM_GETICON, 0, 0) == 0)
        return TRUE;
    *reinterpret_cast<HWND*>(parameter) = window;
    return FALSE;
}

} // namespace

std::wstring ToWindowsPath(const std::wstring& path)
{
    if (path.empty() || path[0] != L'/')
        return path;
    std::wstring windows = L"Z:" + path;
    for (wchar_t& c : windows)
        if (c == L'/')
            c = L'\\';
    return windows;
}

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

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::optional<std::string> ReadBytes(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveTree(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return DeleteFileW(path.c_str()) != 0;
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE)
    {
        do
        {
            const std::wstring name = entry.cFileName;
            if (name != L"." && name != L"..")
                RemoveTree(path + L"\\" + name);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    return RemoveDirectoryW(path.c_str()) != 0;
}

bool ResetUserIni()
{
    // A case that put a file in the maker's folder's place may have stopped half-way.
    const DWORD maker = GetFileAttributesW(MakerFolder().c_str());
    if (maker != INVALID_FILE_ATTRIBUTES && !(maker & FILE_ATTRIBUTE_DIRECTORY))
        RemoveTree(MakerFolder());
    const std::wstring ini = UserIniPath();
    if (!RemoveTree(ini))
        return false;
    const std::wstring folder = ini.substr(0, ini.rfind(L'\\'));
    const int created = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return created == ERROR_SUCCESS || created == ERROR_ALREADY_EXISTS;
}

Launch::Launch(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder)
{
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process))
        process = PROCESS_INFORMATION{};
}

Launch::~Launch()
{
    if (!Started())
        return;
    // A case that failed half-way must not leave a launcher behind for the next one.
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

HWND Launch::WaitForWindow() const
{
    if (!Started())
        return nullptr;
    for (DWORD waited = 0; waited < TIMEOUT_MS; waited += POLL_MS)
    {
        WindowSearch search{process.dwProcessId, nullptr};
        EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (WaitForSingleObject(process.hProcess, POLL_MS) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

std::optional<DWORD> Launch::WaitForExit() const
{
    DWORD code = 0;
    if (!Started() || WaitForSingleObject(process.hProcess, TIMEOUT_MS) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, &code))
        return std::nullopt;
    return code;
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

HWND ChildByClassAndId(HWND parent, const std::wstring& className, int id)
{
    ChildSearch search{className, id, nullptr};
    EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsChecked(HWND button)
{
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Click(HWND button)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, TIMEOUT_MS, &result) != 0;
}

bool Close(HWND window)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL, TIMEOUT_MS, &result) != 0;
}

HWND ShownIcon(HWND box)
{
    HWND icon = nullptr;
    EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&icon));
    return icon;
}

std::optional<std::string> WaitForGameReport(const std::wstring& folder)
{
    for (DWORD waited = 0; waited < TIMEOUT_MS; waited += POLL_MS)
    {
        // The game may still be writing: only three whole lines make a report.
        const std::optional<std::string> report = ReadBytes(folder + GAME_REPORT);
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

bool GameReportStaysAbsent(const std::wstring& folder)
{
    Sleep(ABSENCE_PAUSE_MS);
    return !Exists(folder + GAME_REPORT);
}

} // namespace TARNWICK::PROGRAM
