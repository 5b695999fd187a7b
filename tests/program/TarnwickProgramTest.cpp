// Tarnwick.exe end to end: started, read and pressed as a user would, with stand-in games.
// Arguments: the paths of Tarnwick.exe and of the stand-in game.
#include "ProgramDriver.h"
#include "RowName.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace TARNWICK::PROGRAM
{
namespace
{

const char APPLICATION_INI[] = "[Original]\r\nDirectDraw = OriginalSoftware.exe\r\nDirect3D = OriginalDirect3D.exe\r\n"
                               "[Skellmoor]\r\nDirectDraw = SkellmoorSoftware.exe\r\n"
                               "Direct3D = SkellmoorDirect3D.exe\r\n";
const char* const GAMES[] = {"OriginalSoftware.exe", "OriginalDirect3D.exe", "SkellmoorSoftware.exe",
                             "SkellmoorDirect3D.exe"};

// What the launcher writes: mode 1 with the mouse fix is 73 bytes, mode 0 without it 74.
const char SAVED_DIRECT3D_MOUSE_FIX[] = "[RenderingMode]\r\nMode = 1\r\n\r\n\r\n[Direct3dOptions]\r\nFrameRateMouse = true\r\n";
const char SAVED_DIRECT3D[] = "[RenderingMode]\r\nMode = 1\r\n\r\n\r\n[Direct3dOptions]\r\nFrameRateMouse = false\r\n";
const char SAVED_SOFTWARE[] = "[RenderingMode]\r\nMode = 0\r\n\r\n\r\n[Direct3dOptions]\r\nFrameRateMouse = false\r\n";
// Edited by hand: other case, no blanks, LF line ends, a comment; a save must replace it whole.
const char HAND_DIRECT3D_MOUSE_FIX[] = "; by hand\n[renderingmode]\nmode=1\n[DIRECT3DOPTIONS]\nframeratemouse=yes\n";
const char HAND_SOFTWARE_MOUSE_FIX[] = "[RenderingMode]\r\nMode = 0\r\n[Direct3dOptions]\r\nFrameRateMouse = true\r\n";

const char DEFAULTS_SHOWN[] = "software checked, Direct3D enabled, mouse fix disabled clear";
const char STORED_MOUSE_FIX_SHOWN[] = "Direct3D checked, Direct3D enabled, mouse fix enabled ticked";

// The controls a user presses; the check box shares the identifier 0 with the prompt.
constexpr int OK = 1000;
constexpr int CANCEL = 1001;
constexpr int SOFTWARE = 1002;
constexpr int DIRECT3D = 1003;
constexpr int MOUSE_FIX = 0;

enum class Finish { Ok, Cancel, Close };

struct Inputs
{
    std::wstring tarnwick;
    std::wstring game;
};

const Inputs& GetInputs()
{
    static const Inputs inputs = [] {
        Inputs read;
        int count = 0;
        wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
        if (arguments && count >= 3)
            read = {ToWindowsPath(arguments[1]), ToWindowsPath(arguments[2])};
        LocalFree(arguments);
        return read;
    }();
    return inputs;
}

HWND MouseFixBox(HWND window)
{
    return ChildByClassAndId(window, L"Button", MOUSE_FIX);
}

HWND Control(HWND window, int id)
{
    return id == MOUSE_FIX ? MouseFixBox(window) : GetDlgItem(window, id);
}

std::string DescribeChoice(HWND window)
{
    const HWND software = GetDlgItem(window, SOFTWARE);
    const HWND direct3D = GetDlgItem(window, DIRECT3D);
    const HWND mouseFix = MouseFixBox(window);
    std::string checked = IsChecked(software) ? "software" : "";
    if (IsChecked(direct3D))
        checked += checked.empty() ? "Direct3D" : "+Direct3D";
    return (checked.empty() ? "none" : checked) + " checked, Direct3D " +
           (IsWindowEnabled(direct3D) ? "enabled" : "disabled") + ", mouse fix " +
           (IsWindowEnabled(mouseFix) ? "enabled" : "disabled") + (IsChecked(mouseFix) ? " ticked" : " clear");
}

void ExpectChoiceWindow(HWND window)
{
    ASSERT_NE(nullptr, window) << "no window shown";
    ASSERT_EQ(L"AppName", ClassName(window)) << "a message box came instead: " << ToUtf8(Text(window));
    EXPECT_EQ(L"Vantorel:  Dawnmere", Text(window));
    EXPECT_EQ(L"OK", Text(GetDlgItem(window, OK)));
    EXPECT_EQ(L"Cancel", Text(GetDlgItem(window, CANCEL)));
    EXPECT_EQ(L"Software Rendered - No 3D Acceleration", Text(GetDlgItem(window, SOFTWARE)));
    EXPECT_EQ(L"Direct3D Rendered - 3D Accelerated", Text(GetDlgItem(window, DIRECT3D)));
    EXPECT_EQ(L"Use Mouse Fix", Text(MouseFixBox(window)));
    EXPECT_EQ(L"Please select the version you want to run:", Text(ChildByClassAndId(window, L"Static", 0)));
    // In front, taking the keys, and with the frame and taskbar button of a plain window.
    EXPECT_TRUE(ComesToFront(window)) << "the window is not the foreground and active window";
    EXPECT_EQ(PlainExtendedStyle(WS_CAPTION), static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
    {
        const auto style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        EXPECT_EQ(PlainExtendedStyle(WS_CAPTION, ClassName(control), style),
                  static_cast<DWORD>(GetWindowLongW(control, GWL_EXSTYLE)))
            << ToUtf8(Text(control));
    }
}

// The window checked as above and showing the choice described; null when it did not come so.
HWND ChoiceWindow(const Process& launch, const std::string& shown)
{
    const HWND window = WaitForWindow(launch);
    ExpectChoiceWindow(window);
    if (testing::Test::HasFatalFailure())
        return nullptr;
    EXPECT_EQ(shown, DescribeChoice(window));
    return window;
}

void Press(HWND window, Finish finish)
{
    const bool answered =
        finish == Finish::Close ? Close(window) : Click(GetDlgItem(window, finish == Finish::Ok ? OK : CANCEL));
    ASSERT_TRUE(answered) << "the launcher did not answer";
}

// Checks a start-up message box and dismisses it as a user would.
void ExpectMessage(HWND box, const std::wstring& text)
{
    ASSERT_NE(nullptr, box) << "no message box shown";
    ASSERT_EQ(L"#32770", ClassName(box)) << "the window came instead of a message box";
    EXPECT_EQ(OkBox(L"Error", text, BoxIcon::Error), ReadBox(box));
    ASSERT_TRUE(Click(GetDlgItem(box, IDOK)));
}

class TarnwickProgram : public testing::Test
{
protected:
    void SetUp() override
    {
        const Inputs& inputs = GetInputs();
        ASSERT_FALSE(inputs.tarnwick.empty()) << "usage: driver TARNWICK.EXE STAND-IN-GAME.EXE";
        ASSERT_TRUE(CopyFileW(inputs.tarnwick.c_str(), Program().c_str(), FALSE)) << ToUtf8(inputs.tarnwick);
        for (const char* game : GAMES)
            ASSERT_TRUE(CopyFileW(inputs.game.c_str(), (folder + L"\\" + Wide(game)).c_str(), FALSE));
        ASSERT_TRUE(WriteBytes(folder + L"\\Tarnwickb.ini", APPLICATION_INI));
        ASSERT_TRUE(ResetUserIni());
    }

    // Both folders go, so that what a test leaves there, such as a temporary file, meets no other test.
    void TearDown() override { RemoveTree(MakerFolder()); }

    static std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }
    std::wstring Program() const { return folder + L"\\Tarnwick.exe"; }

    std::unique_ptr<Process> Start(const std::wstring& arguments, const std::wstring& program = {},
                                   bool inheritHandles = false)
    {
        auto launch =
            std::make_unique<Process>(program.empty() ? Program() : program, arguments, folder, inheritHandles);
        EXPECT_TRUE(launch->Started()) << "CreateProcessW failed: error " << launch->StartError();
        return launch;
    }

    void ExpectExit(const Process& launch, DWORD code)
    {
        const std::optional<DWORD> exit = launch.WaitForExit();
        ASSERT_TRUE(exit.has_value()) << "the launcher did not end";
        EXPECT_EQ(code, *exit);
    }

    // One game started by the launcher, and its report: its program in the working folder, the
    // command line, the launcher's current folder. The report goes, so that a later start can be
    // checked.
    void ExpectGame(const Process& launch, const std::string& commandLine)
    {
        EXPECT_EQ(2u, launch.ProcessesStarted()) << "not the launcher and one game";
        const std::optional<std::string> report = WaitForGameReport(folder);
        ASSERT_TRUE(report.has_value()) << "no game started";
        const std::string where = ToUtf8(folder);
        EXPECT_EQ(where + "\\" + commandLine.substr(0, commandLine.find(' ')) + "\n" + commandLine + "\n" + where +
                      "\n",
                  *report);
        DeleteFileW(GameReportPath(folder).c_str());
    }

    void ExpectGameAtOnce(const Process& launch, const std::string& commandLine)
    {
        EXPECT_EQ(nullptr, WaitForWindow(launch));
        ExpectExit(launch, 0);
        ExpectGame(launch, commandLine);
    }

    // Read once the launcher has ended, or while it waits: by then it would have started the game.
    void ExpectNoGame(const Process& launch)
    {
        EXPECT_EQ(1u, launch.ProcessesStarted()) << "the launcher started a process";
        EXPECT_FALSE(Exists(GameReportPath(folder))) << "a game was started";
    }

    void ExpectUserIni(const std::optional<std::string>& bytes)
    {
        EXPECT_EQ(bytes, ReadBytes(UserIniPath()));
    }

    // The names as the file system holds them, which the case-blind lookups above do not see; the
    // user INI (or nothing) alone in its folder, so no temporary file of a save stays behind.
    void ExpectStoredNames(bool userIni)
    {
        std::vector<std::wstring> makers;
        for (const std::wstring& name : ListFolder(LocalAppDataFolder()))
            if (_wcsicmp(name.c_str(), L"Corvash") == 0)
                makers.push_back(name);
        EXPECT_EQ(std::vector<std::wstring>{L"Corvash"}, makers);
        EXPECT_EQ(std::vector<std::wstring>{L"Vantorel"}, ListFolder(MakerFolder()));
        EXPECT_EQ(userIni ? std::vector<std::wstring>{L"Tarnwick.user.ini"} : std::vector<std::wstring>{},
                  ListFolder(MakerFolder() + L"\\Vantorel"));
    }

    TestFolder scratch;
    const std::wstring folder = scratch.Path();
};

// Rows of the tables below; failures name the row, not its bytes.
template <typename Row>
class ProgramRows : public TarnwickProgram, public testing::WithParamInterface<Row>
{
};

// ---- Stored choice and a run-game switch: the game starts at once; its command line byte for byte.

struct GameStart
{
    const char* name;
    const char* userIni;
    const wchar_t* arguments;
    const char* game;
};

void PrintTo(const GameStart& row, std::ostream* out) { *out << row.name; }
using GameStartAtOnce = ProgramRows<GameStart>;

TEST_P(GameStartAtOnce, StartsGameWithoutWindow)
{
    const GameStart& row = GetParam();
    ASSERT_TRUE(WriteBytes(UserIniPath(), row.userIni));
    ExpectGameAtOnce(*Start(row.arguments), row.game);
    ExpectUserIni(std::string(row.userIni));
}

const GameStart GAME_STARTS[] = {
    {"EmptyUserIniCountsAsRead_SoftwareWithBlank", "", L"-RUNGAME", "OriginalSoftware.exe "},
    {"Direct3D", SAVED_DIRECT3D, L"-rungame", "OriginalDirect3D.exe "},
    {"SkellmoorSoftware", SAVED_SOFTWARE, L"-RUNGAME -GAME=SK", "SkellmoorSoftware.exe "},
    {"SkellmoorDirect3D_HostPassedOn", SAVED_DIRECT3D, L"-game=sk /host", "SkellmoorDirect3D.exe /host"},
    {"MouseFix_TwoBlanksBeforeSwitch", SAVED_DIRECT3D_MOUSE_FIX, L"-RUNGAME",
     "OriginalDirect3D.exe  -frameratemouse"},
    {"MouseFixWithSoftwareMode", HAND_SOFTWARE_MOUSE_FIX, L"-RUNGAME", "OriginalSoftware.exe  -frameratemouse"},
    {"OwnFrameRateMouseSwitchGivesNoMouseFix", SAVED_SOFTWARE, L"-RUNGAME -FRAMERATEMOUSE",
     "OriginalSoftware.exe "},
    {"QuotedRunsAndJoinPassUnchanged", SAVED_DIRECT3D_MOUSE_FIX, L"-J 'level -RUNGAME one' \"two  words\" `x`",
     "OriginalDirect3D.exe -J 'level -RUNGAME one' \"two  words\" `x` -frameratemouse"},
    {"ConsumedSwitchLeavesItsBlanks", SAVED_SOFTWARE, L"a -RUNGAME b", "OriginalSoftware.exe a  b"},
    {"AccentedArgumentArrivesAsUnicode", SAVED_SOFTWARE, L"-RUNGAME caf\u00e9", "OriginalSoftware.exe caf\xc3\xa9"},
};

INSTANTIATE_TEST_SUITE_P(Rows, GameStartAtOnce, testing::ValuesIn(GAME_STARTS), RowName());

// ---- The three window roads, each ended by OK, Cancel or closing, and the start after it.

struct WindowRoad
{
    const char* name;
    std::optional<std::string> userIni;
    const wchar_t* arguments;
    const char* shown;
    std::vector<int> clicks;
    Finish finish;
    std::optional<std::string> userIniAfter;
    std::optional<std::string> game;
    // What "-RUNGAME" starts next; nothing: the window comes back.
    std::optional<std::string> nextGame;
};

void PrintTo(const WindowRoad& row, std::ostream* out) { *out << row.name; }
using WindowRoads = ProgramRows<WindowRoad>;

TEST_P(WindowRoads, EndsAsChosen)
{
    const WindowRoad& row = GetParam();
    if (row.userIni)
    {
        ASSERT_TRUE(WriteBytes(UserIniPath(), *row.userIni));
    }
    else
    {
        // A first run: the launcher makes both folders.
        ASSERT_TRUE(RemoveTree(MakerFolder()));
    }
    {
        const auto launch = Start(row.arguments);
        const HWND window = ChoiceWindow(*launch, row.shown);
        if (!window)
            return;
        for (int id : row.clicks)
            ASSERT_TRUE(Click(Control(window, id)));
        Press(window, row.finish);
        ExpectExit(*launch, 0);
        ExpectUserIni(row.userIniAfter);
        ExpectStoredNames(row.userIniAfter.has_value());
        if (row.game)
            ExpectGame(*launch, *row.game);
        else
            ExpectNoGame(*launch);
    }
    const auto next = Start(L"-RUNGAME");
    if (row.nextGame)
        return ExpectGameAtOnce(*next, *row.nextGame);
    const HWND window = ChoiceWindow(*next, DEFAULTS_SHOWN);
    ASSERT_NE(nullptr, window);
    Press(window, Finish::Cancel);
    ExpectExit(*next, 0);
}

const WindowRoad WINDOW_ROADS[] = {
    {"StoredNoSwitch_OkUnchanged_RewritesLayout", HAND_DIRECT3D_MOUSE_FIX, L"", STORED_MOUSE_FIX_SHOWN, {},
     Finish::Ok, SAVED_DIRECT3D_MOUSE_FIX, {}, "OriginalDirect3D.exe  -frameratemouse"},
    {"StoredNoSwitch_OkSoftware_SavesSoftware", HAND_DIRECT3D_MOUSE_FIX, L"", STORED_MOUSE_FIX_SHOWN, {SOFTWARE},
     Finish::Ok, SAVED_SOFTWARE, {}, "OriginalSoftware.exe "},
    {"StoredNoSwitch_Cancel_KeepsFile", HAND_DIRECT3D_MOUSE_FIX, L"", STORED_MOUSE_FIX_SHOWN, {SOFTWARE},
     Finish::Cancel, HAND_DIRECT3D_MOUSE_FIX, {}, "OriginalDirect3D.exe  -frameratemouse"},
    {"StoredNoSwitch_Close_KeepsFile", HAND_DIRECT3D_MOUSE_FIX, L"", STORED_MOUSE_FIX_SHOWN, {SOFTWARE},
     Finish::Close, HAND_DIRECT3D_MOUSE_FIX, {}, "OriginalDirect3D.exe  -frameratemouse"},
    {"NoFileRunGame_OkDirect3DMouseFix_SavesThenStarts", {}, L"-RUNGAME -GAME=SK /host", DEFAULTS_SHOWN,
     {DIRECT3D, MOUSE_FIX}, Finish::Ok, SAVED_DIRECT3D_MOUSE_FIX, "SkellmoorDirect3D.exe /host -frameratemouse",
     "OriginalDirect3D.exe  -frameratemouse"},
    {"NoFileRunGame_OkDefaults_SavesThenStarts", {}, L"-RUNGAME", DEFAULTS_SHOWN, {}, Finish::Ok, SAVED_SOFTWARE,
     "OriginalSoftware.exe ", "OriginalSoftware.exe "},
    {"NoFileRunGame_Cancel_NothingWrittenOrStarted", {}, L"-RUNGAME", DEFAULTS_SHOWN, {DIRECT3D}, Finish::Cancel,
     {}, {}, {}},
    {"NoFileRunGame_Close_NothingWrittenOrStarted", {}, L"-RUNGAME", DEFAULTS_SHOWN, {DIRECT3D}, Finish::Close,
     {}, {}, {}},
    {"NoFileNoSwitch_OkDirect3D_SavesOnly", {}, L"", DEFAULTS_SHOWN, {DIRECT3D}, Finish::Ok, SAVED_DIRECT3D, {},
     "OriginalDirect3D.exe "},
    {"NoFileNoSwitch_Cancel_NothingWritten", {}, L"", DEFAULTS_SHOWN, {}, Finish::Cancel, {}, {}, {}},
    {"NoFileNoSwitch_Close_NothingWritten", {}, L"", DEFAULTS_SHOWN, {}, Finish::Close, {}, {}, {}},
};

INSTANTIATE_TEST_SUITE_P(Rows, WindowRoads, testing::ValuesIn(WINDOW_ROADS), RowName());

// ---- Start-up failures: a message box, exit code -1, nothing written or started.

// Points the local application-data folder at a folder that does not exist, for as long as it lives.
class UnusableLocalAppData
{
public:
    UnusableLocalAppData()
    {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, KEY, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof saved;
        hadValue = RegQueryValueExW(key, VALUE, nullptr, &savedType, reinterpret_cast<BYTE*>(saved), &size) ==
                   ERROR_SUCCESS;
        savedSize = size;
        const wchar_t unusable[] = L"C:\\no-such-folder\\local";
        set = RegSetValueExW(key, VALUE, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(unusable),
                             sizeof unusable) == ERROR_SUCCESS;
    }

    ~UnusableLocalAppData()
    {
        if (!key)
            return;
        if (hadValue)
            RegSetValueExW(key, VALUE, 0, savedType, reinterpret_cast<const BYTE*>(saved), savedSize);
        else
            RegDeleteValueW(key, VALUE);
        RegCloseKey(key);
    }

    bool Set() const { return set; }

private:
    static constexpr const wchar_t* KEY = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    static constexpr const wchar_t* VALUE = L"Local AppData";
    HKEY key = nullptr;
    bool hadValue = false;
    bool set = false;
    DWORD savedType = 0;
    DWORD savedSize = 0;
    wchar_t saved[MAX_PATH * 2] = L"";
};

enum class Failure { AppIniMissing, AppIniIncomplete, AppIniOnlyBesideProgram, MakerFolderIsFile, NoLocalAppData };

struct StartUpFailure
{
    const char* name;
    Failure failure;
    const wchar_t* arguments;
    const wchar_t* message;
};

void PrintTo(const StartUpFailure& row, std::ostream* out) { *out << row.name; }
using StartUpFailures = ProgramRows<StartUpFailure>;

TEST_P(StartUpFailures, ShowMessageAndExitMinusOne)
{
    const StartUpFailure& row = GetParam();
    ASSERT_TRUE(WriteBytes(UserIniPath(), SAVED_SOFTWARE));
    std::wstring program = Program();
    std::unique_ptr<UnusableLocalAppData> redirect;
    switch (row.failure)
    {
    case Failure::AppIniMissing:
        ASSERT_TRUE(DeleteFileW((folder + L"\\Tarnwickb.ini").c_str()));
        break;
    case Failure::AppIniIncomplete:
        ASSERT_TRUE(WriteBytes(folder + L"\\Tarnwickb.ini",
                               "[Original]\r\nDirectDraw = OriginalSoftware.exe\r\nDirect3D = OriginalDirect3D.exe\r\n"
                               "[Skellmoor]\r\nDirectDraw = SkellmoorSoftware.exe\r\nDirect3D =\r\n"));
        break;
    case Failure::AppIniOnlyBesideProgram:
        program = folder + L"\\program\\Tarnwick.exe";
        ASSERT_TRUE(CreateDirectoryW((folder + L"\\program").c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(Program().c_str(), program.c_str(), FALSE));
        ASSERT_TRUE(MoveFileW((folder + L"\\Tarnwickb.ini").c_str(), (folder + L"\\program\\Tarnwickb.ini").c_str()));
        break;
    case Failure::MakerFolderIsFile:
        ASSERT_TRUE(RemoveTree(MakerFolder()));
        ASSERT_TRUE(WriteBytes(MakerFolder(), "not a folder"));
        break;
    case Failure::NoLocalAppData:
        redirect = std::make_unique<UnusableLocalAppData>();
        ASSERT_TRUE(redirect->Set());
        ASSERT_EQ(L"", LocalAppDataFolder()) << "the folder lookup still works";
        break;
    }
    {
        const auto launch = Start(row.arguments, program);
        ExpectMessage(WaitForWindow(*launch), row.message);
        ExpectExit(*launch, 0xFFFFFFFF);
        ExpectNoGame(*launch);
    }
    redirect.reset();
    if (row.failure == Failure::MakerFolderIsFile)
    {
        EXPECT_EQ(std::string("not a folder"), ReadBytes(MakerFolder()));
        EXPECT_TRUE(DeleteFileW(MakerFolder().c_str()));
    }
    else
        ExpectUserIni(std::string(SAVED_SOFTWARE));
}

const StartUpFailure START_UP_FAILURES[] = {
    {"NoLocalAppData_Message1", Failure::NoLocalAppData, L"-RUNGAME", L"Cannot find user's Vantorel data."},
    {"MakerFolderIsFile_Message2", Failure::MakerFolderIsFile, L"-RUNGAME",
     L"Cannot initialize user's Vantorel data."},
    {"AppIniMissing_NoSwitch_Message3", Failure::AppIniMissing, L"", L"Cannot read application configuration."},
    {"AppIniIncomplete_Message3", Failure::AppIniIncomplete, L"-RUNGAME", L"Cannot read application configuration."},
    {"AppIniOnlyBesideProgram_Message3", Failure::AppIniOnlyBesideProgram, L"-RUNGAME",
     L"Cannot read application configuration."},
};

INSTANTIATE_TEST_SUITE_P(Rows, StartUpFailures, testing::ValuesIn(START_UP_FAILURES), RowName());

// ---- A failed save: message 4, then the run goes on.

TEST_F(TarnwickProgram, ReadOnlyUserIni_OkShowsMessage4AndKeepsFile)
{
    ASSERT_TRUE(WriteBytes(UserIniPath(), HAND_DIRECT3D_MOUSE_FIX));
    ASSERT_TRUE(SetFileAttributesW(UserIniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    const auto launch = Start(L"");
    const HWND window = ChoiceWindow(*launch, STORED_MOUSE_FIX_SHOWN);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(Click(GetDlgItem(window, SOFTWARE)));
    Press(window, Finish::Ok);
    ExpectMessage(WaitForWindow(*launch), L"Cannot update user's Vantorel configuration.");
    ExpectExit(*launch, 0);
    ExpectUserIni(std::string(HAND_DIRECT3D_MOUSE_FIX));
    EXPECT_TRUE(GetFileAttributesW(UserIniPath().c_str()) & FILE_ATTRIBUTE_READONLY);
    ExpectStoredNames(true);
    ExpectNoGame(*launch);
}

TEST_F(TarnwickProgram, FolderInUserIniPlace_RunGame_Message4ThenGameWithChoice)
{
    ASSERT_TRUE(CreateDirectoryW(UserIniPath().c_str(), nullptr));
    const auto launch = Start(L"-RUNGAME");
    const HWND window = ChoiceWindow(*launch, DEFAULTS_SHOWN);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(Click(GetDlgItem(window, DIRECT3D)));
    ASSERT_TRUE(Click(MouseFixBox(window)));
    Press(window, Finish::Ok);
    const HWND box = WaitForWindow(*launch);
    // The game waits for the message to be dismissed.
    ExpectNoGame(*launch);
    ExpectMessage(box, L"Cannot update user's Vantorel configuration.");
    ExpectExit(*launch, 0);
    ExpectGame(*launch, "OriginalDirect3D.exe  -frameratemouse");
    EXPECT_TRUE(IsFolder(UserIniPath()));
    ExpectStoredNames(true);
}

// Replaced under the name it already bears: Wine keeps that name's case and Windows may take the
// launcher's, so only the one file and its contents are held here.
TEST_F(TarnwickProgram, UserIniInOtherCase_OkReplacesThatFileWhole)
{
    const std::wstring perUser = MakerFolder() + L"\\Vantorel";
    ASSERT_TRUE(WriteBytes(perUser + L"\\TARNWICK.USER.INI", HAND_DIRECT3D_MOUSE_FIX));
    const auto launch = Start(L"");
    const HWND window = ChoiceWindow(*launch, STORED_MOUSE_FIX_SHOWN);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(Click(GetDlgItem(window, SOFTWARE)));
    Press(window, Finish::Ok);
    ExpectExit(*launch, 0);
    const std::vector<std::wstring> names = ListFolder(perUser);
    ASSERT_EQ(1u, names.size());
    EXPECT_EQ(0, _wcsicmp(names[0].c_str(), L"Tarnwick.user.ini")) << ToUtf8(names[0]);
    ExpectUserIni(std::string(SAVED_SOFTWARE));
}

// ---- The game runs where the launcher was started, not where the launcher's program lies.

TEST_F(TarnwickProgram, ProgramElsewhere_GameStartsInLaunchersCurrentFolder)
{
    const std::wstring program = folder + L"\\program\\Tarnwick.exe";
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\program").c_str(), nullptr));
    ASSERT_TRUE(MoveFileW(Program().c_str(), program.c_str()));
    ASSERT_TRUE(WriteBytes(UserIniPath(), SAVED_SOFTWARE));
    ExpectGameAtOnce(*Start(L"-RUNGAME", program), "OriginalSoftware.exe ");
}

// A variable of this process's environment, and so of the programs it starts, while it lives.
class EnvironmentVariable
{
public:
    EnvironmentVariable(const wchar_t* name, const std::wstring& value)
        : name(name), set(SetEnvironmentVariableW(name, value.c_str()) != 0)
    {
    }
    ~EnvironmentVariable() { SetEnvironmentVariableW(name, nullptr); }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;
    bool Set() const { return set; }

private:
    const wchar_t* name;
    bool set;
};

// ---- The game inherits none of the launcher's handles: a caller's pipe or event that the launcher
// was given is not held open by the game for as long as the game runs.

TEST_F(TarnwickProgram, InheritableHandleOfTheCaller_NotHandedOnToTheGame)
{
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const HANDLE semaphore = CreateSemaphoreW(&inheritable, 0, 2, nullptr);
    ASSERT_NE(nullptr, semaphore);
    const std::unique_ptr<void, decltype(&CloseHandle)> closed(semaphore, CloseHandle);
    const EnvironmentVariable named(L"TARNWICK_TEST_SEMAPHORE", std::to_wstring(reinterpret_cast<UINT_PTR>(semaphore)));
    ASSERT_TRUE(named.Set());

    // The stand-in game, given the handle directly, can reach it: so the check below can fail.
    {
        const Process game(folder + L"\\OriginalSoftware.exe", L"", folder, true);
        ASSERT_EQ(std::optional<DWORD>(0), game.WaitForExit());
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(semaphore, 0)) << "the stand-in game cannot reach the handle";
        DeleteFileW(GameReportPath(folder).c_str());
    }

    ASSERT_TRUE(WriteBytes(UserIniPath(), SAVED_SOFTWARE));
    ExpectGameAtOnce(*Start(L"-RUNGAME", {}, true), "OriginalSoftware.exe ");
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(semaphore, 0)) << "the game holds the launcher's handle";
}

// ---- A game program that does not exist: nothing to tell the user.

TEST_F(TarnwickProgram, MissingGameProgram_NoMessageExitZero)
{
    ASSERT_TRUE(WriteBytes(folder + L"\\Tarnwickb.ini",
                           "[Original]\r\nDirectDraw = Missing.exe\r\nDirect3D = OriginalDirect3D.exe\r\n"
                           "[Skellmoor]\r\nDirectDraw = SkellmoorSoftware.exe\r\nDirect3D = SkellmoorDirect3D.exe\r\n"));
    ASSERT_TRUE(WriteBytes(UserIniPath(), SAVED_SOFTWARE));
    const auto launch = Start(L"-RUNGAME");
    EXPECT_EQ(nullptr, WaitForWindow(*launch));
    ExpectExit(*launch, 0);
    ExpectNoGame(*launch);
}

} // namespace
} // namespace TARNWICK::PROGRAM
