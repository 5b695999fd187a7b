// Each built program's own manifest as Wine's loader takes it: a manifest that the loader refuses
// leaves the program running without it, though its XML may read right.
#include "Process.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace
{

// The twin's route checks the shipped 32-bit files too, when the build names them.
const wchar_t* const PROGRAMS[] = {
    TARNWICK_PROGRAM,
    OSTREVAN_PROGRAM,
#ifdef SHIPPED_TARNWICK_PROGRAM
    SHIPPED_TARNWICK_PROGRAM,
    SHIPPED_OSTREVAN_PROGRAM,
#endif
};

TEST(ManifestActivation, EachProgramsManifestResourceMakesAnActivationContext)
{
    for (const wchar_t* program : PROGRAMS)
    {
        const std::wstring path = ToWindowsPath(program);
        SCOPED_TRACE(testing::Message() << std::string(path.begin(), path.end()));
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str())) << "no such file";
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
