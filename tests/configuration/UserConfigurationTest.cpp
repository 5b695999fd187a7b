// Reading the per-user INI: the value rules for "Mode" and "FrameRateMouse" and the INI rules.
#include <gtest/gtest.h>

#include <windows.h>

#include "TestFolder.h"
#include "TextConversion.h"
#include "configuration/UserConfiguration.h"

using TARNWICK::WideToUtf8;
using TARNWICK::CONFIGURATION::UserConfiguration;

namespace
{

class UserConfigurationLoadTest : public ::testing::Test
{
protected:
    // Loads the text into a record that first holds other values, so that defaults must be set.
    bool LoadText(const std::string& text, std::int32_t before = 7, bool mouseBefore = true)
    {
        EXPECT_TRUE(WriteBytes(path, text));
        UserConfiguration configuration(WideToUtf8(path));
        configuration.GetParameters()->renderingMode = before;
        configuration.GetParameters()->direct3dOptions.frameRateMouse = mouseBefore;
        const bool result = configuration.Load();
        renderingMode = configuration.GetParameters()->renderingMode;
        frameRateMouse = configuration.GetParameters()->direct3dOptions.frameRateMouse;
        return result;
    }

    TestFolder folder;
    const std::wstring path = folder / L"Tarnwick.user.ini";
    std::int32_t renderingMode = -1;
    bool frameRateMouse = false;
};

TEST_F(UserConfigurationLoadTest, ModeReadsAsOneOnlyForTheNumberOne)
{
    const struct
    {
        std::string value;
        std::int32_t mode;
    } rows[] = {
        {"1", 1}, {"01", 1}, {"+1", 1}, {"0x1", 1}, {"0X1", 1}, {std::string(62, '0') + "1", 1},
        {"0", 0}, {"2", 0}, {"-1", 0}, {"0x2", 0}, {"1.0", 0}, {"one", 0}, {"0x", 0}, {"", 0}, {"1 2", 0},
        {"4294967297", 0}, {"1 ; remark", 0}, {std::string(63, '0') + "1", 0},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE("Mode = \"" + row.value + "\"");
        ASSERT_TRUE(LoadText("[RenderingMode]\r\nMode = " + row.value + "\r\n"));
        EXPECT_EQ(renderingMode, row.mode);
    }
}

TEST_F(UserConfigurationLoadTest, FrameRateMouseIsOnForTheLibrarysTrueSpellings)
{
    const struct
    {
        const char* value;
        bool on;
    } rows[] = {
        {"true", true}, {"TRUE", true}, {"t", true}, {"Yes", true}, {"1", true}, {"10", true}, {"on", true},
        {"ON", true}, {"true ; remark", true}, {"on ; remark", true},
        {"false", false}, {"no", false}, {"0", false}, {"off", false}, {"o", false}, {"2", false}, {"x", false},
        {"", false},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(std::string("FrameRateMouse = \"") + row.value + "\"");
        ASSERT_TRUE(LoadText(std::string("[Direct3dOptions]\r\nFrameRateMouse = ") + row.value + "\r\n", 7, !row.on));
        EXPECT_EQ(frameRateMouse, row.on);
        EXPECT_EQ(renderingMode, 0);
    }
}

TEST_F(UserConfigurationLoadTest, ReadsByTheIniRules)
{
    const struct
    {
        const char* name;
        const char* text;
        std::int32_t mode;
        bool mouse;
    } rows[] = {
        {"empty file gives the defaults", "", 0, false},
        {"names in any letter case are found", "[renderingmode]\r\nMODE=1\r\n[DIRECT3DOPTIONS]\r\nframeratemouse=yes\r\n",
         1, true},
        {"blanks around names and inside brackets are removed",
         "[ RenderingMode\t]\r\n\tMode\t=\t1\t\r\n[\tDirect3dOptions ]\r\n FrameRateMouse = true \r\n", 1, true},
        {"a repeated key counts with its last value", "[RenderingMode]\r\nMode=1\r\nMode=0\r\n", 0, false},
        {"a repeated section is merged",
         "[RenderingMode]\r\nMode=0\r\n[Direct3dOptions]\r\nFrameRateMouse=true\r\n[RenderingMode]\r\nMode=1\r\n", 1, true},
        {"comment lines are skipped", "[RenderingMode]\r\nMode=1\r\n;Mode=0\r\n#Mode=0\r\n", 1, false},
        {"keys before any header are not read", "Mode=1\r\nFrameRateMouse=true\r\n", 0, false},
        {"other sections and keys are ignored",
         "[Other]\r\nMode=0\r\n[Direct3dOptions]\r\nColour=1\r\nFrameRateMouse=1\r\n[RenderingMode]\r\nMode=1\r\n", 1, true},
        {"a byte-order mark before the first header is the library's UTF-8 mark",
         "\xEF\xBB\xBF[RenderingMode]\r\nMode=1\r\n\r\n\r\n[Direct3dOptions]\r\nFrameRateMouse=true\r\n", 1, true},
        {"a value is one line: no multi-line values",
         "[RenderingMode]\r\nMode=<<<END\r\n1\r\nEND\r\n[Direct3dOptions]\r\nFrameRateMouse=<<<END\r\ntrue\r\nEND\r\n", 0,
         false},
        {"an unclosed header opens no section",
         "[RenderingMode\r\nMode=1\r\n[Direct3dOptions]\r\nFrameRateMouse=true\r\n", 0, true},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(LoadText(row.text));
        EXPECT_EQ(renderingMode, row.mode);
        EXPECT_EQ(frameRateMouse, row.mouse);
    }
}

TEST_F(UserConfigurationLoadTest, UnreadableFileFailsAndKeepsTheRecord)
{
    const std::string ini = WideToUtf8(path);
    // Found if the name were taken as ANSI text, where "\xE4" is "\u00E4".
    ASSERT_TRUE(WriteBytes(folder / L"\u00E4.ini", "[RenderingMode]\r\nMode=1\r\n"));
    const struct
    {
        const char* name;
        std::string fileName;
    } rows[] = {
        {"no file", ini},
        {"a folder in the file's place", WideToUtf8(folder.Path())},
        {"a name that is not UTF-8", WideToUtf8(folder.Path()) + "\\\xE4.ini"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        UserConfiguration untouched(row.fileName);
        EXPECT_FALSE(untouched.Load());
        EXPECT_EQ(untouched.GetParameters()->renderingMode, 0);
        EXPECT_FALSE(untouched.GetParameters()->direct3dOptions.frameRateMouse);

        UserConfiguration changed(row.fileName);
        changed.GetParameters()->renderingMode = 1;
        changed.GetParameters()->direct3dOptions.frameRateMouse = true;
        EXPECT_FALSE(changed.Load());
        EXPECT_EQ(changed.GetParameters()->renderingMode, 1);
        EXPECT_TRUE(changed.GetParameters()->direct3dOptions.frameRateMouse);
    }
}

} // namespace
