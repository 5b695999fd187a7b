// The test programs' entry: GoogleTest's, with a crash that ends its program at once, and an end
// that Wine cannot turn into a kill.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace
{

// Formats without the C runtime's locks, which the crash may have left held.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception)
{
    const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    char line[512];
    const int length = std::snprintf(line, sizeof line, "CRASH: exception 0x%08lX at %p in %s.%s; the test program ends\n",
        static_cast<unsigned long>(record.ExceptionCode), record.ExceptionAddress,
        test ? test->test_suite_name() : "(no test)", test ? test->name() : "");
    DWORD written = 0;
    if (length > 0)
        WriteFile(GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(std::min<size_t>(length, sizeof line - 1)),
            &written, nullptr);
    TerminateProcess(GetCurrentProcess(), record.ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

// Under Wine an unhandled exception starts the debugger, whose dialog waits on a screen where no
// one answers it until ctest gives up. For the programs that the tests start, the debugger then
// prints where the program crashed and ends it, without the dialog.
void NoCrashDialog()
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineDbg", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
            nullptr) != ERROR_SUCCESS)
        return;
    const DWORD show = 0;
    RegSetValueExW(key, L"ShowCrashDialog", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&show), sizeof show);
    RegCloseKey(key);
}

} // namespace

int main(int argc, char** argv)
{
    // A test program's own crash is named in the log, with its test, and ends it with its code.
    SetUnhandledExceptionFilter(ReportCrash);
    NoCrashDialog();
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // Wine's server kills a process that is still there half a second after its last thread has
    // ended. An ordinary exit first runs the libraries' own ends, the GL driver's among them, which
    // take longer on a busy machine, and ctest then reads a kill, not the result. Terminating
    // itself, the program ends at once.
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
    return result;
}
