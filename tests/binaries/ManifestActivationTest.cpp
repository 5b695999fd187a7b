// Each built program's own manifest as Wine's loader takes it: a manifest that the loader refuses
// leaves the program running without it, though its XML may read right.
#include "Process.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <iostream>
#include <string>

namespace
{

struct Program
{
    const wchar_t* path;
    // Names the x86 common controls, which only Wine's 32-bit half installs.
    bool needsX86CommonControls;
};

// The twin's route checks the shipped 32-bit files too, when the build names them.
const Program PROGRAMS[] = {
    {TARNWICK_PROGRAM, false},
    {OSTREVAN_PROGRAM, false},
#ifdef SHIPPED_TARNWICK_PROGRAM
    {SHIPPED_TARNWICK_PROGRAM, true},
    {SHIPPED_OSTREVAN_PROGRAM, false},
#endif
};

// Where the kernel runs no 32-bit programs, Wine's 32-bit half cannot set up the prefix, and no
// x86 assembly is there for a dependency to find.
bool HasX86CommonControls()
{
    wchar_t windows[MAX_PATH] = L"";
    GetWindowsDirectoryW(windows, MAX_PATH);
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(
        (std::wstring(windows) + L"\\winsxs\\manifests\\x86_microsoft.windows.common-controls_*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

TEST(ManifestActivation, EachProgramsManifestResourceMakesAnActivationContext)
{
    const bool x86CommonControls = HasX86CommonControls();
    for (const Program& program : PROGRAMS)
    {
        const std::wstring path = ToWindowsPath(program.path);
        const std::string name(path.begin(), path.end());
        SCOPED_TRACE(name);
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str())) << "no such file";
        if (program.needsX86CommonControls && !x86CommonControls)
        {
            std::cout << "not checked: " << name << " needs the x86 common controls, which Wine installs only where "
                      << "32-bit programs run\n";
            continue;
        }
        ACTCTXW request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = path.c_str();
        request.lpResourceName = MAKEINTRESOURCEW(1);
        const HANDLE context = CreateActCtxW(&request);
        EXPECT_NE(INVALID_HANDLE_VALUE, context) << "CreateActCtxW failed: error " << GetLastError();
        if (context != INVALID_HANDLE_VALUE)
            ReleaseActCtx(context);
    }
}

} // namespace
