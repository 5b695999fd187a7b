// The application INI read from the current directory: reading rules and what each failure leaves.
#include <gtest/gtest.h>

#include <windows.h>

#include "TestFolder.h"
#include "configuration/ApplicationConfiguration.h"

using TARNWICK::CONFIGURATION::ApplicationConfiguration;

namespace
{

const std::string kSkellmoor = "[Skellmoor]\r\nDirectDraw=s-dd.exe\r\nDirect3D=s-3d.exe\r\n";
const char* const kFolderInPlace = "<folder>";

struct Expected
{
    bool result;
    std::wstring originalDirectDraw, originalDirect3D, skellmoorDirectDraw, skellmoorDirect3D;
};

// Runs in a fresh folder made the current directory, where the bare name is looked up.
class ApplicationConfigurationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t current[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, current);
        previousDirectory = current;
        ASSERT_TRUE(SetCurrentDirectoryW(folder.Path().c_str()));
    }
    void TearDown() override { SetCurrentDirectoryW(previousDirectory.c_str()); }

    void ExpectRecord(const ApplicationConfiguration& configuration, const Expected& expected)
    {
        const auto parameters = configuration.GetParameters();
        EXPECT_EQ(parameters->original.directDraw, expected.originalDirectDraw);
        EXPECT_EQ(parameters->original.direct3D, expected.originalDirect3D);
        EXPECT_EQ(parameters->skellmoor.directDraw, expected.skellmoorDirectDraw);
        EXPECT_EQ(parameters->skellmoor.direct3D, expected.skellmoorDirect3D);
    }

    TestFolder folder;
    std::wstring previousDirectory;
};

struct ReadingRow
{
    const char* name;
    std::string text;
    Expected expected;
};

TEST_F(ApplicationConfigurationTest, ReadsByTheIniRules)
{
    const ReadingRow rows[] = {
        {"names in any letter case are found",
         "[original]\r\nDIRECTDRAW=a.exe\r\ndirect3d=b.exe\r\n[SKELLMOOR]\r\ndirectDRAW=c.exe\r\nDirect3D=d.exe\r\n",
         {true, L"a.exe", L"b.exe", L"c.exe", L"d.exe"}},
        {"blanks around names, the equals sign and values and inside brackets are removed",
         "[ \tOriginal \t]\r\n \tDirectDraw \t= \tGame Dd.exe \t\r\nDirect3D   =b.exe\r\n[Skellmoor ]\r\n"
         "DirectDraw=c.exe\r\n\tDirect3D\t=\td.exe\t\r\n",
         {true, L"Game Dd.exe", L"b.exe", L"c.exe", L"d.exe"}},
        {"quotes and a remark after a value belong to it",
         "[Original]\r\nDirectDraw=\"Game Dd.exe\"\r\nDirect3D=b.exe ; remark\r\n" + kSkellmoor,
         {true, L"\"Game Dd.exe\"", L"b.exe ; remark", L"s-dd.exe", L"s-3d.exe"}},
        {"comment lines are skipped",
         "; header\r\n[Original]\r\nDirectDraw=a.exe\r\n;DirectDraw=x.exe\r\nDirect3D=b.exe\r\n  # Direct3D=y.exe\r\n" +
             kSkellmoor,
         {true, L"a.exe", L"b.exe", L"s-dd.exe", L"s-3d.exe"}},
        {"a repeated key counts with its last value and a repeated section is merged",
         "[Original]\r\nDirectDraw=old.exe\r\n" + kSkellmoor + "[Original]\r\nDirectDraw=new.exe\r\nDirect3D=b.exe\r\n",
         {true, L"new.exe", L"b.exe", L"s-dd.exe", L"s-3d.exe"}},
        {"a value is one line: no multi-line values, so the next line is a key of its own",
         "[Original]\r\nDirectDraw=<<<END\r\nDirect3D=b.exe\r\nEND\r\n" + kSkellmoor,
         {true, L"<<<END", L"b.exe", L"s-dd.exe", L"s-3d.exe"}},
        {"lines may end with CR or LF alone",
         "[Original]\rDirectDraw=a.exe\rDirect3D=b.exe\n[Skellmoor]\nDirectDraw=c.exe\rDirect3D=d.exe",
         {true, L"a.exe", L"b.exe", L"c.exe", L"d.exe"}},
        {"text is in the ANSI code page", "[Original]\r\nDirectDraw=Spiel\xE4.exe\r\nDirect3D=b.exe\r\n" + kSkellmoor,
         {true, L"Spiel\u00E4.exe", L"b.exe", L"s-dd.exe", L"s-3d.exe"}},
        {"a byte-order mark before the first header makes the file UTF-8",
         "\xEF\xBB\xBF[Original]\r\nDirectDraw=Spiel\xC3\xA4.exe\r\nDirect3D=b.exe\r\n" + kSkellmoor,
         {true, L"Spiel\u00E4.exe", L"b.exe", L"s-dd.exe", L"s-3d.exe"}},
        {"keys before any header are not in Original",
         "DirectDraw=a.exe\r\nDirect3D=b.exe\r\n" + kSkellmoor, {false, L"", L"", L"", L""}},
        {"keys under another section are not in Original",
         "[Originals]\r\nDirectDraw=a.exe\r\nDirect3D=b.exe\r\n" + kSkellmoor, {false, L"", L"", L"", L""}},
        {"an unclosed header opens no section",
         "[Original\r\nDirectDraw=a.exe\r\nDirect3D=b.exe\r\n" + kSkellmoor, {false, L"", L"", L"", L""}},
    };
    for (const ReadingRow& row : rows)
    {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(WriteBytes(folder / L"Tarnwickb.ini", row.text));
        ApplicationConfiguration configuration("Tarnwickb.ini");
        EXPECT_EQ(configuration.Load(), row.expected.result);
        ExpectRecord(configuration, row.expected);
    }
}

struct StateRow
{
    const char* name;
    const char* text; // nullptr: no file; kFolderInPlace: a folder in the file's place
    Expected expected;
};

// Each row loads over a record already filled from a complete file, so "unchanged" shows.
TEST_F(ApplicationConfigurationTest, FailureLeavesTheValuesReadBeforeIt)
{
    const std::wstring o = L"o-dd.exe", o3 = L"o-3d.exe", s = L"s-dd.exe", s3 = L"s-3d.exe";
    const std::wstring n = L"n-dd.exe", n3 = L"n-3d.exe", m = L"m-dd.exe", m3 = L"m-3d.exe";
    const StateRow rows[] = {
        {"no file: all unchanged", nullptr, {false, o, o3, s, s3}},
        {"a folder in the file's place: all unchanged", kFolderInPlace, {false, o, o3, s, s3}},
        {"empty file: Original emptied", "", {false, L"", L"", s, s3}},
        {"only comments: Original emptied", "; nothing\r\n# here\r\n", {false, L"", L"", s, s3}},
        {"no Original", "[Skellmoor]\r\nDirectDraw=m-dd.exe\r\nDirect3D=m-3d.exe\r\n", {false, L"", L"", s, s3}},
        {"Original DirectDraw missing", "[Original]\r\nDirect3D=n-3d.exe\r\n", {false, L"", L"", s, s3}},
        {"Original DirectDraw empty", "[Original]\r\nDirectDraw=\r\nDirect3D=n-3d.exe\r\n", {false, L"", L"", s, s3}},
        {"Original DirectDraw blanks only", "[Original]\r\nDirectDraw= \t \r\nDirect3D=n-3d.exe\r\n",
         {false, L"", L"", s, s3}},
        {"Original Direct3D missing", "[Original]\r\nDirectDraw=n-dd.exe\r\n", {false, n, L"", s, s3}},
        {"Original Direct3D empty", "[Original]\r\nDirectDraw=n-dd.exe\r\nDirect3D=\r\n", {false, n, L"", s, s3}},
        {"complete Original, no Skellmoor", "[Original]\r\nDirectDraw=n-dd.exe\r\nDirect3D=n-3d.exe\r\n",
         {false, n, n3, L"", L""}},
        {"complete Original, Skellmoor DirectDraw empty",
         "[Original]\r\nDirectDraw=n-dd.exe\r\nDirect3D=n-3d.exe\r\n[Skellmoor]\r\nDirectDraw=\r\nDirect3D=m-3d.exe\r\n",
         {false, n, n3, L"", L""}},
        {"complete Original, Skellmoor Direct3D missing",
         "[Original]\r\nDirectDraw=n-dd.exe\r\nDirect3D=n-3d.exe\r\n[Skellmoor]\r\nDirectDraw=m-dd.exe\r\n",
         {false, n, n3, m, L""}},
        {"all four values",
         "[Original]\r\nDirectDraw=n-dd.exe\r\nDirect3D=n-3d.exe\r\n[Skellmoor]\r\nDirectDraw=m-dd.exe\r\nDirect3D=m-3d.exe\r\n",
         {true, n, n3, m, m3}},
    };
    const std::wstring path = folder / L"Tarnwickb.ini";
    for (const StateRow& row : rows)
    {
        SCOPED_TRACE(row.name);
        RemoveTree(path);
        ASSERT_TRUE(WriteBytes(path, "[Original]\nDirectDraw=o-dd.exe\nDirect3D=o-3d.exe\n"
                                     "[Skellmoor]\nDirectDraw=s-dd.exe\nDirect3D=s-3d.exe\n"));
        ApplicationConfiguration configuration("Tarnwickb.ini");
        ASSERT_TRUE(configuration.Load());

        RemoveTree(path);
        if (row.text == kFolderInPlace)
        {
            ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        }
        else if (row.text != nullptr)
        {
            ASSERT_TRUE(WriteBytes(path, row.text));
        }
        EXPECT_EQ(configuration.Load(), row.expected.result);
        ExpectRecord(configuration, row.expected);
    }
    RemoveTree(path);
}

TEST_F(ApplicationConfigurationTest, GetParametersHandsOutTheOneRecordThatLoadFills)
{
    ApplicationConfiguration configuration("Tarnwickb.ini");
    const auto first = configuration.GetParameters();
    const auto second = configuration.GetParameters();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_TRUE(first->original.directDraw.empty());

    ASSERT_TRUE(WriteBytes(folder / L"Tarnwickb.ini", "[Original]\nDirectDraw=a.exe\nDirect3D=b.exe\n" + kSkellmoor));
    ASSERT_TRUE(configuration.Load());
    EXPECT_EQ(first->original.directDraw, L"a.exe");
    EXPECT_EQ(second->skellmoor.direct3D, L"s-3d.exe");
}

} // namespace
