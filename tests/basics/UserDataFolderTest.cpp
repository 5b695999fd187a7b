// The per-user folder on the real platform: the lookup's form and the creation below a scratch folder.
#include "UserDataFolder.h"

#include "ImportSwap.h"
#include "RowName.h"
#include "TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace
{

const std::wstring Relative = L"\\Corvash\\Vantorel\\";
using Listing = std::vector<std::wstring>;

TEST(GetUserDataFolderTest, LocalAppDataFollowedByMakerAndProduct)
{
    wchar_t localAppData[MAX_PATH];
    ASSERT_GE(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData), 0);

    const std::wstring folder = TARNWICK::GetUserDataFolder();
    EXPECT_NE(folder, TARNWICK::EmptyPath);
    EXPECT_EQ(folder, localAppData + Relative);
    EXPECT_TRUE(TARNWICK::EmptyPath.empty());
}

// What the launcher asks the folder lookup for, and what the lookup answers it.
struct FolderLookup
{
    int calls = 0;
    HWND owner = nullptr;
    int folder = 0;
    HANDLE token = nullptr;
    DWORD flags = 0;
} lookup;
HRESULT lookupResult = S_OK;
// As long as the platform's answer can be: the buffer's whole room with its terminating zero.
const std::wstring LongestFolder = L"C:\\" + std::wstring(MAX_PATH - 4, L'x');

HRESULT WINAPI RecordFolderLookup(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path)
{
    lookup = {lookup.calls + 1, owner, folder, token, flags};
    wcscpy_s(path, MAX_PATH, LongestFolder.c_str());
    return lookupResult;
}

// Whether the folder is created on the way, whose folder it is, and whether its current or its
// default place is meant: none of it differs in a Wine prefix, so the call is recorded. Any
// success code counts; a failure leaves the buffer unread.
TEST(GetUserDataFolderTest, LookupOfTheCurrentUsersCurrentFolderThatCreatesNothing)
{
    const struct
    {
        const char* name;
        HRESULT result;
        std::wstring folder;
    } rows[] = {
        {"S_OK", S_OK, LongestFolder + Relative},
        {"another success code", S_FALSE, LongestFolder + Relative},
        {"a failure", E_FAIL, TARNWICK::EmptyPath},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        lookup = FolderLookup();
        lookupResult = row.result;
        std::wstring folder;
        {
            const ImportSwap swap("shell32.dll", "SHGetFolderPathW", reinterpret_cast<void*>(&RecordFolderLookup));
            ASSERT_TRUE(swap.Swapped());
            folder = TARNWICK::GetUserDataFolder();
        }
        EXPECT_EQ(folder, row.folder);
        EXPECT_EQ(lookup.calls, 1);
        EXPECT_EQ(lookup.owner, nullptr);
        EXPECT_EQ(lookup.folder, CSIDL_LOCAL_APPDATA) << "CSIDL_FLAG_CREATE or another folder";
        EXPECT_EQ(lookup.token, nullptr) << "not the current user";
        EXPECT_EQ(lookup.flags, static_cast<DWORD>(SHGFP_TYPE_CURRENT));
    }
}

// Each test works below a fresh folder of its own; a file read back as written is an ordinary file.
class InitializeUserDataFolderTest : public testing::Test
{
protected:
    TestFolder root;
};

TEST_F(InitializeUserDataFolderTest, BothLevelsMissing_BothCreated)
{
    EXPECT_TRUE(TARNWICK::InitializeUserDataFolder(root.Path() + Relative));
    EXPECT_EQ(ListFolder(root.Path()), Listing{L"Corvash"});
    EXPECT_EQ(ListFolder(root / L"Corvash"), Listing{L"Vantorel"});
    EXPECT_TRUE(IsFolder(root / L"Corvash\\Vantorel"));
}

TEST_F(InitializeUserDataFolderTest, FolderExists_TrueAndContentsKept)
{
    ASSERT_TRUE(CreateDirectoryW((root / L"Corvash").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root / L"Corvash\\Vantorel").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(root / L"Corvash\\Vantorel\\Tarnwick.user.ini", "[RenderingMode]\r\n"));

    EXPECT_TRUE(TARNWICK::InitializeUserDataFolder(root.Path() + Relative));
    EXPECT_EQ(ListFolder(root / L"Corvash\\Vantorel"), Listing{L"Tarnwick.user.ini"});
    EXPECT_EQ(ReadBytes(root / L"Corvash\\Vantorel\\Tarnwick.user.ini"), "[RenderingMode]\r\n");
}

TEST_F(InitializeUserDataFolderTest, FileInProductFolderPlace_TrueAndFileKept)
{
    ASSERT_TRUE(CreateDirectoryW((root / L"Corvash").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(root / L"Corvash\\Vantorel", "file"));

    EXPECT_TRUE(TARNWICK::InitializeUserDataFolder(root.Path() + Relative));
    EXPECT_EQ(ReadBytes(root / L"Corvash\\Vantorel"), "file");
}

TEST_F(InitializeUserDataFolderTest, FileInMakerFolderPlace_False)
{
    ASSERT_TRUE(WriteBytes(root / L"Corvash", "file"));

    EXPECT_FALSE(TARNWICK::InitializeUserDataFolder(root.Path() + Relative));
    EXPECT_EQ(ReadBytes(root / L"Corvash"), "file");
    EXPECT_EQ(ListFolder(root.Path()), Listing{L"Corvash"});
}

struct NameCase
{
    const char* name;
    std::wstring folderName;
};

class NonAsciiFolderTest : public InitializeUserDataFolderTest, public testing::WithParamInterface<NameCase>
{
};

// The names as the file system holds them, so a mangled name cannot pass for the right one.
TEST_P(NonAsciiFolderTest, CreatedUnderItsProperName)
{
    const std::wstring folderName = GetParam().folderName;
    EXPECT_TRUE(TARNWICK::InitializeUserDataFolder(root / folderName + Relative));
    EXPECT_EQ(ListFolder(root.Path()), Listing{folderName});
    EXPECT_TRUE(IsFolder(root / folderName + L"\\Corvash\\Vantorel"));
}

const NameCase NonAsciiNames[] = {
    {"LatinAndHan", L"\u00e9\u00df\u4e2d"},
    {"OutsideBasicPlane", std::wstring(L"x") + wchar_t(0xD83D) + wchar_t(0xDE00) + L"y"},
};
INSTANTIATE_TEST_SUITE_P(Names, NonAsciiFolderTest, testing::ValuesIn(NonAsciiNames), RowName());

} // namespace
