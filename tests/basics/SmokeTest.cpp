#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
TEST(Smoke, LocalAppData) { wchar_t b[MAX_PATH]; ASSERT_GE(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, b), 0); EXPECT_EQ(GetACP(), 1252u); }
