// Programs under test started, waited for and ended through the platform's process calls.
#include "Process.h"

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

Process::Process(const std::wstring& program, const std::wstring& arguments, const std::wstring& folder,
                 bool inheritHandles)
{
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // In a job of its own before it runs, so that every process it starts is counted there.
    job = CreateJobObjectW(nullptr, nullptr);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, inheritHandles, CREATE_SUSPENDED,
                        nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &process))
    {
        startError = GetLastError();
        process = PROCESS_INFORMATION{};
        return;
    }
    AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
}

Process::~Process()
{
    if (job)
        CloseHandle(job);
    if (!Started())
        return;
    // A case that failed half-way must not leave its program behind for the next one.
    if (Running())
    {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, PATIENCE_MS);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

bool Process::Running() const
{
    return Started() && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Process::WaitForExit(DWORD timeout) const
{
    DWORD code = 0;
    if (!Started() || WaitForSingleObject(process.hProcess, timeout) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.hProcess, &code))
        return std::nullopt;
    return code;
}

DWORD Process::ProcessesStarted() const
{
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting, nullptr))
        return 0;
    return accounting.TotalProcesses;
}
