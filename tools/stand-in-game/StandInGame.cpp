// A stand-in for the game's executables: writes what it was started with to
// "game-received.txt" in its current directory and exits, so tests and the demo can read it.
// The file: UTF-8 without a byte-order mark, three lines each ended by "\n": the module's full
// path, the command line exactly as received, the current directory.
// Before that it releases the semaphore whose handle value TARNWICK_TEST_SEMAPHORE names, if
// that handle is open in its process: a test learns so whether a handle reached the game.
#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

namespace
{

std::wstring ModulePath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;)
    {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
        {
            return std::wstring();
        }
        // A full buffer may mean a cut path: try again with more room.
        if (length < buffer.size())
        {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring CurrentDirectory()
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0)
    {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(size);
    const DWORD length = GetCurrentDirectoryW(size, buffer.data());
    if (length == 0 || length >= size)
    {
        return std::wstring();
    }
    return std::wstring(buffer.data(), length);
}

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
    {
        return std::string();
    }
    const int wideLength = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
    {
        return std::string();
    }
    std::string utf8(static_cast<std::string::size_type>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wideLength, &utf8[0], length, nullptr, nullptr);
    return utf8;
}

void ReleaseTestSemaphore()
{
    wchar_t value[32];
    const DWORD length = GetEnvironmentVariableW(L"TARNWICK_TEST_SEMAPHORE", value, 32);
    if (length == 0 || length >= 32)
    {
        return;
    }
    wchar_t* end = nullptr;
    const unsigned long long handle = std::wcstoull(value, &end, 10);
    if (end == value || *end != L'\0')
    {
        return;
    }
    ReleaseSemaphore(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)), 1, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    ReleaseTestSemaphore();
    const wchar_t* commandLine = GetCommandLineW();
    const std::string report = ToUtf8(ModulePath()) + "\n" +
        ToUtf8(commandLine != nullptr ? commandLine : L"") + "\n" +
        ToUtf8(CurrentDirectory()) + "\n";

    const HANDLE file = CreateFileW(L"game-received.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        return 1;
    }
    DWORD written = 0;
    const BOOL ok = WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    const BOOL closed = CloseHandle(file);
    return ok && closed && written == report.size() ? 0 : 1;
}
