// One run of a program under test: started with a command line and a current folder, waited for,
// and ended by force if a test leaves it running; and the processes that it started in turn.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Wine starts a process, creates a Direct3D device and writes files slowly on a busy machine.
constexpr DWORD PATIENCE_MS = 30000;

// The build hands over Linux paths, which Wine passes through untouched; its drive Z: is the root.
std::wstring ToWindowsPath(const std::wstring& path);

class Process
{
public:
    // The command line is the quoted program, then a blank and the arguments if there are any;
    // an empty folder leaves the current folder to the caller's. The program inherits this
    // process's inheritable handles only when asked to.
    Process(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder = {},
            bool inheritHandles = false);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return process.hProcess != nullptr; }
    // Why the start failed: the platform's error code.
    DWORD StartError() const { return startError; }
    bool Running() const;
    DWORD Id() const { return process.dwProcessId; }
    // The exit code, or nothing when the process is still running after the timeout.
    std::optional<DWORD> WaitForExit(DWORD timeout = PATIENCE_MS) const;
    // How many processes this run has made so far: the program itself, those it started, and
    // theirs. Counted by the platform as each starts, so the count waits for nothing.
    DWORD ProcessesStarted() const;

private:
    PROCESS_INFORMATION process{};
    HANDLE job = nullptr;
    DWORD startError = 0;
};
