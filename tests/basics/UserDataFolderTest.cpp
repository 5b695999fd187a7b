// The per-user folder on the real platform: the lookup's form and the creation below a scratch folder.
#include "UserDataFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{

const std::wstring Relative = L"\\Corvash\\Vantorel\\";

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsOrdinaryFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The entries' names as the file system holds them, so a mangled name cannot pass for the right one.
std::vector<std::wstring> Names(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
    {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::wstring& path)
{
    if (IsFolder(path))
    {
        for (const std::wstring& name : Names(path))
            RemoveTree(path + L"\\" + name);
        RemoveDirectoryW(path.c_str());
    }
    else
    {
        DeleteFileW(path.c_str());
    }
}

void WriteTextFile(const std::wstring& path, const char* text)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
    CloseHandle(file);
}

std::string ReadTextFile(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(missing)";
    char buffer[256];
    DWORD read = 0;
    ::ReadFile(file, buffer, sizeof buffer, &read, nullptr);
    CloseHandle(file);
    return std::string(buffer, read);
}

TEST(GetUserDataFolderTest, LocalAppDataFollowedByMakerAndProduct)
{
    wchar_t localAppData[MAX_PATH];
    ASSERT_GE(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData), 0);

    const std::wstring folder = TARNWICK::GetUserDataFolder();
    EXPECT_NE(folder, TARNWICK::EmptyPath);
    EXPECT_EQ(folder, localAppData + Relative);
    EXPECT_TRUE(TARNWICK::EmptyPath.empty());
}

// Each test works below a fresh folder in the temporary folder of its own.
class InitializeUserDataFolderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        root = std::wstring(temp) + L"tarnwick-basics-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(GetTickCount());
        ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
    }

    void TearDown() override
    {
        RemoveTree(root);
    }

    std::wstring root;
};

TEST_F(InitializeUserDataFolderTest, BothLevelsMissing_BothCreated)
{
    EXPECT_TRUE(TARNWICK::InitializeUserDataFolder(root + Relative));
    EXPECT_EQ(Names(root), std::vector<std::wstring>{L"Corvash"});
    EXPECT_EQ(Names(root + L"\\Corvash"), std::vector<std::wstring>{L"Vantorel"});
    EXPECT_TRUE(IsFolder(root + L"\\Corvash\\Vantorel"));
}

TEST_F(InitializeUserDataFolderTest, FolderExists_TrueAndContentsKept)
{
    ASSERT_TRUE(CreateDirectoryW((root + L"\\Corvash").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((root + L"\\Corvash\\Vantorel").c_str(), nullptr));
    WriteTextFile(root + L"\\Corvash\\Vantorel\\Tarnwick.user.ini", "[RenderingMode]\r\n");

    EXPECT_TRUE(TARNWICK::InitializeUserDataFolder(root + Relative));
    EXPECT_EQ(Names(root + L"\\Corvash\\Vantorel"), std::vector<std::wstring>{L"Tarnwick.user.ini"});
    EXPECT_EQ(ReadTextFile(root + L"\\Corvash\\Vantorel\\Tarnwick.user.ini"), "[RenderingMode]\r\n");
}

TEST_F(InitializeUserDataFolderTest, FileInProductFolderPlace_TrueAndFileKept)
{
    ASSERT_TRUE(CreateDirectoryW((root + L"\\Corvash").c_str(), nullptr));
    WriteTextFile(root + L"\\Corvash\\Vantorel", "file");

    EXPECT_TRUE(TARNWICK::InitializeUserDataFolder(root + Relative));
    EXPECT_TRUE(IsOrdinaryFile(root + L"\\Corvash\\Vantorel"));
    EXPECT_EQ(ReadTextFile(root + L"\\Corvash\\Vantorel"), "file");
}

TEST_F(InitializeUserDataFolderTest, FileInMakerFolderPlace_False)
{
    WriteTextFile(root + L"\\Corvash", "file");

    EXPECT_FALSE(TARNWICK::InitializeUserDataFolder(root + Relative));
    EXPECT_TRUE(IsOrdinaryFile(root + L"\\Corvash"));
    EXPECT_EQ(Names(root), std::vector<std::wstring>{L"Corvash"});
}

struct NameCase
{
    const char* name;
    std::wstring folderName;
};

class NonAsciiFolderTest : public InitializeUserDataFolderTest, public testing::WithParamInterface<NameCase>
{
};

TEST_P(NonAsciiFolderTest, CreatedUnderItsProperName)
{
    const std::wstring folderName = GetParam().folderName;
    EXPECT_TRUE(TARNWICK::InitializeUserDataFolder(root + L"\\" + folderName + Relative));
    EXPECT_EQ(Names(root), std::vector<std::wstring>{folderName});
    EXPECT_TRUE(IsFolder(root + L"\\" + folderName + L"\\Corvash\\Vantorel"));
}

const NameCase NonAsciiNames[] = {
    {"LatinAndHan", L"\u00e9\u00df\u4e2d"},
    {"OutsideBasicPlane", std::wstring(L"x") + wchar_t(0xD83D) + wchar_t(0xDE00) + L"y"},
};
INSTANTIATE_TEST_SUITE_P(Names, NonAsciiFolderTest, testing::ValuesIn(NonAsciiNames),
                         [](const testing::TestParamInfo<NameCase>& info) { return info.param.name; });

} // namespace
