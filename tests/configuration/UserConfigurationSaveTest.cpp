// Saving the per-user INI: its exact bytes, and a failed save that leaves the old file whole.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "ImportSwap.h"
#include "TestFolder.h"
#include "TextConversion.h"
#include "configuration/FileReplacement.h"
#include "configuration/UserConfiguration.h"

using TARNWICK::WideToUtf8;
using TARNWICK::CONFIGURATION::FileReplacementSteps;
using TARNWICK::CONFIGURATION::ReplaceFileContents;
using TARNWICK::CONFIGURATION::UserConfiguration;

namespace
{

const std::string kPrevious = "[RenderingMode]\r\nMode = 1\r\n; the user's own words\r\n";

bool Save(const std::wstring& path, std::int32_t mode, bool mouse)
{
    UserConfiguration configuration(WideToUtf8(path));
    configuration.GetParameters()->renderingMode = mode;
    configuration.GetParameters()->direct3dOptions.frameRateMouse = mouse;
    return configuration.Save();
}

TEST(UserConfigurationSaveTest, WritesExactlyTheSixLines)
{
    const struct
    {
        std::int32_t mode;
        bool mouse;
        std::string bytes;
    } rows[] = {
        {1, true, "[RenderingMode]\r\nMode = 1\r\n\r\n\r\n[Direct3dOptions]\r\nFrameRateMouse = true\r\n"},
        {0, false, "[RenderingMode]\r\nMode = 0\r\n\r\n\r\n[Direct3dOptions]\r\nFrameRateMouse = false\r\n"},
        {-12, false, "[RenderingMode]\r\nMode = -12\r\n\r\n\r\n[Direct3dOptions]\r\nFrameRateMouse = false\r\n"},
    };
    ASSERT_EQ(rows[0].bytes.size(), 73u);
    ASSERT_EQ(rows[1].bytes.size(), 74u);
    const struct
    {
        const char* name;
        const char* before; // nullptr: no file yet
    } files[] = {
        {"a missing file is created", nullptr},
        {"an empty file is filled", ""},
        {"other content is replaced",
         "; comment\r\n[Other]\r\nKey=1\r\n[renderingmode]\r\nMODE=0x1\r\nExtra=2\r\n[DIRECT3DOPTIONS]\r\nframeratemouse=no\r\n"},
    };
    for (const auto& file : files)
        for (const auto& row : rows)
        {
            SCOPED_TRACE(std::string(file.name) + ", mode " + std::to_string(row.mode));
            TestFolder folder;
            const std::wstring path = folder / L"Tarnwick.user.ini";
            if (file.before != nullptr)
            {
                ASSERT_TRUE(WriteBytes(path, file.before));
            }
            EXPECT_TRUE(Save(path, row.mode, row.mouse));
            EXPECT_EQ(ReadBytes(path), row.bytes);
            EXPECT_EQ(ListFolder(folder.Path()), std::vector<std::wstring>{L"Tarnwick.user.ini"});
        }
}

TEST(UserConfigurationSaveTest, LoadGivesBackWhatWasSaved)
{
    // The folder's name holds Latin, CJK and a character beyond the BMP (a surrogate pair).
    const std::wstring names[] = {L"plain", L"Vantor\u00E9l \u4E2D \U0001D11E"};
    for (const std::wstring& name : names)
        for (std::int32_t mode : {0, 1})
            for (bool mouse : {false, true})
            {
                SCOPED_TRACE(WideToUtf8(name) + ", mode " + std::to_string(mode) + (mouse ? ", mouse fix" : ""));
                TestFolder folder;
                const std::wstring path = folder / name + L"\\Tarnwick.user.ini";
                ASSERT_TRUE(CreateDirectoryW((folder / name).c_str(), nullptr));
                ASSERT_TRUE(Save(path, mode, mouse));

                UserConfiguration loaded(WideToUtf8(path));
                loaded.GetParameters()->renderingMode = 1 - mode;
                loaded.GetParameters()->direct3dOptions.frameRateMouse = !mouse;
                ASSERT_TRUE(loaded.Load());
                EXPECT_EQ(loaded.GetParameters()->renderingMode, mode);
                EXPECT_EQ(loaded.GetParameters()->direct3dOptions.frameRateMouse, mouse);
            }
}

TEST(UserConfigurationSaveTest, SharedRecordIsWhatTheSaveWrites)
{
    TestFolder folder;
    UserConfiguration configuration(WideToUtf8(folder / L"Tarnwick.user.ini"));
    const auto first = configuration.GetParameters();
    const auto second = configuration.GetParameters();
    EXPECT_EQ(first, second);
    first->renderingMode = 1;
    second->direct3dOptions.frameRateMouse = true;
    ASSERT_TRUE(configuration.Save());
    EXPECT_EQ(ReadBytes(folder / L"Tarnwick.user.ini").value_or("").size(), 73u);
}

// Faults the platform itself produces; each leaves what was there as it was and nothing new.
TEST(UserConfigurationSaveTest, FailedSaveLeavesThePreviousFileWhole)
{
    const struct
    {
        const char* name;
        void (*prepare)(const std::wstring& folder);
        std::wstring target; // relative to the test folder
        std::wstring kept;   // the entry whose bytes must stay, relative to the test folder
    } rows[] = {
        {"a read-only file",
         [](const std::wstring& folder) {
             WriteBytes(folder + L"\\Tarnwick.user.ini", kPrevious);
             SetFileAttributesW((folder + L"\\Tarnwick.user.ini").c_str(), FILE_ATTRIBUTE_READONLY);
         },
         L"Tarnwick.user.ini", L"Tarnwick.user.ini"},
        {"an ordinary file in the folder's place: no temporary file can be created",
         [](const std::wstring& folder) { WriteBytes(folder + L"\\Vantorel", kPrevious); },
         L"Vantorel\\Tarnwick.user.ini", L"Vantorel"},
        {"a folder in the file's place: the replace fails",
         [](const std::wstring& folder) {
             CreateDirectoryW((folder + L"\\Tarnwick.user.ini").c_str(), nullptr);
             WriteBytes(folder + L"\\Tarnwick.user.ini\\inside", kPrevious);
         },
         L"Tarnwick.user.ini", L"Tarnwick.user.ini\\inside"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        TestFolder folder;
        row.prepare(folder.Path());
        const std::vector<std::wstring> before = ListFolder(folder.Path());
        EXPECT_FALSE(Save(folder / row.target, 1, true));
        EXPECT_EQ(ReadBytes(folder / row.kept), kPrevious);
        EXPECT_EQ(ListFolder(folder.Path()), before);
    }

    // Read as ANSI the name would be "\u00E4.ini"; as UTF-8 it is no name at all.
    TestFolder folder;
    UserConfiguration notUtf8(WideToUtf8(folder.Path()) + "\\\xE4.ini");
    EXPECT_FALSE(notUtf8.Save());
    EXPECT_TRUE(ListFolder(folder.Path()).empty());
}

enum class Fault { None, ShortWrites, Write, EmptyWrite, Flush, Close, Move };

// The real steps, with one of them made to fail.
class FaultySteps : public FileReplacementSteps
{
public:
    explicit FaultySteps(Fault fault) : fault(fault) {}

    bool Write(HANDLE file, const char* data, DWORD size, DWORD& written) override
    {
        if (fault == Fault::Write)
        {
            // Half of it reaches the file before the write fails, as on a full disk.
            FileReplacementSteps::Write(file, data, size / 2, written);
            return false;
        }
        if (fault == Fault::EmptyWrite && !wroteNothing)
        {
            // Success that moved no byte; the next write would go through, so a save that keeps
            // on writing ends up replacing the file instead of hanging the test.
            wroteNothing = true;
            written = 0;
            return true;
        }
        return FileReplacementSteps::Write(file, data, fault == Fault::ShortWrites ? 1 : size, written);
    }
    bool Flush(HANDLE file) override { return fault != Fault::Flush && FileReplacementSteps::Flush(file); }
    bool Close(HANDLE file) override { return FileReplacementSteps::Close(file) && fault != Fault::Close; }
    bool Move(const std::wstring& from, const std::wstring& to) override
    {
        return fault != Fault::Move && FileReplacementSteps::Move(from, to);
    }

private:
    Fault fault;
    bool wroteNothing = false;
};

TEST(FileReplacementTest, FailureAtAnyStepKeepsThePreviousFile)
{
    const struct
    {
        const char* name;
        Fault fault;
        bool result;
    } rows[] = {
        {"no fault: replaced", Fault::None, true},
        {"writes that take one byte at a time: replaced", Fault::ShortWrites, true},
        {"a write fails", Fault::Write, false},
        {"a write succeeds with 0 bytes", Fault::EmptyWrite, false},
        {"the flush fails", Fault::Flush, false},
        {"the close fails", Fault::Close, false},
        {"the replace fails", Fault::Move, false},
    };
    const std::string contents = "[RenderingMode]\r\nMode = 0\r\n";
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        TestFolder folder;
        const std::wstring path = folder / L"Tarnwick.user.ini";
        ASSERT_TRUE(WriteBytes(path, kPrevious));
        FaultySteps steps(row.fault);
        EXPECT_EQ(ReplaceFileContents(path, contents, steps), row.result);
        EXPECT_EQ(ReadBytes(path), row.result ? contents : kPrevious);
        EXPECT_EQ(ListFolder(folder.Path()), std::vector<std::wstring>{L"Tarnwick.user.ini"});
    }
}

// --- The save's file calls as made: what lasts through a power failure shows in no run ---

std::vector<std::wstring> fileCalls;
std::wstring temporaryName;
HANDLE temporaryFile = nullptr;
bool openFails = false;

template <typename Function> Function Kernel32(const char* name)
{
    return PlatformFunction<Function>(L"kernel32.dll", name);
}

UINT WINAPI RecordTempFileName(LPCWSTR folder, LPCWSTR prefix, UINT unique, LPWSTR name)
{
    const UINT result = Kernel32<decltype(&GetTempFileNameW)>("GetTempFileNameW")(folder, prefix, unique, name);
    temporaryName = name;
    fileCalls.push_back(Call(L"GetTempFileNameW", folder, prefix, unique));
    return result;
}

HANDLE WINAPI RecordCreateFile(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
    DWORD disposition, DWORD flags, HANDLE templateFile)
{
    fileCalls.push_back(Call(L"CreateFileW", name, access, share, security, disposition, flags, templateFile));
    if (openFails)
    {
        // As when another program, a virus scanner say, holds the new file between its creation
        // and the open.
        SetLastError(ERROR_SHARING_VIOLATION);
        return INVALID_HANDLE_VALUE;
    }
    temporaryFile = Kernel32<decltype(&CreateFileW)>("CreateFileW")(name, access, share, security, disposition,
        flags, templateFile);
    return temporaryFile;
}

BOOL WINAPI RecordWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped)
{
    fileCalls.push_back(Call(L"WriteFile", file, size, overlapped));
    return Kernel32<decltype(&WriteFile)>("WriteFile")(file, data, size, written, overlapped);
}

BOOL WINAPI RecordFlush(HANDLE file)
{
    fileCalls.push_back(Call(L"FlushFileBuffers", file));
    return Kernel32<decltype(&FlushFileBuffers)>("FlushFileBuffers")(file);
}

BOOL WINAPI RecordClose(HANDLE handle)
{
    fileCalls.push_back(Call(L"CloseHandle", handle));
    return Kernel32<decltype(&CloseHandle)>("CloseHandle")(handle);
}

BOOL WINAPI RecordMove(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    fileCalls.push_back(Call(L"MoveFileExW", from, to, flags));
    return Kernel32<decltype(&MoveFileExW)>("MoveFileExW")(from, to, flags);
}

BOOL WINAPI RecordDelete(LPCWSTR path)
{
    fileCalls.push_back(Call(L"DeleteFileW", path));
    return Kernel32<decltype(&DeleteFileW)>("DeleteFileW")(path);
}

class FileReplacementCalls : public testing::Test
{
protected:
    void SetUp() override
    {
        fileCalls.clear();
        temporaryName.clear();
        temporaryFile = nullptr;
        openFails = false;
        ASSERT_TRUE(WriteBytes(path, kPrevious));
    }

    // Saves a choice over the previous file with the save's file calls recorded.
    void SaveWhileRecording()
    {
        const struct
        {
            const char* function;
            void* replacement;
        } recorders[] = {
            {"GetTempFileNameW", reinterpret_cast<void*>(&RecordTempFileName)},
            {"CreateFileW", reinterpret_cast<void*>(&RecordCreateFile)},
            {"WriteFile", reinterpret_cast<void*>(&RecordWrite)},
            {"FlushFileBuffers", reinterpret_cast<void*>(&RecordFlush)},
            {"CloseHandle", reinterpret_cast<void*>(&RecordClose)},
            {"MoveFileExW", reinterpret_cast<void*>(&RecordMove)},
            {"DeleteFileW", reinterpret_cast<void*>(&RecordDelete)},
        };
        std::vector<std::unique_ptr<ImportSwap>> swaps;
        for (const auto& recorder : recorders)
        {
            swaps.push_back(std::make_unique<ImportSwap>("kernel32.dll", recorder.function, recorder.replacement));
            ASSERT_TRUE(swaps.back()->Swapped()) << recorder.function << " is not imported, so never called";
        }
        saved = Save(path, 1, true);
    }

    // The save's first calls: a temporary file named, and so made, in the user INI's folder, then
    // opened for writing by the save alone.
    std::vector<std::wstring> NamedAndOpened() const
    {
        const LPSECURITY_ATTRIBUTES noSecurity = nullptr;
        const HANDLE noTemplate = nullptr;
        return {Call(L"GetTempFileNameW", folder.Path(), L"Tar", 0u),
            Call(L"CreateFileW", temporaryName, static_cast<DWORD>(GENERIC_WRITE), 0ul, noSecurity,
                static_cast<DWORD>(TRUNCATE_EXISTING), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL), noTemplate)};
    }

    TestFolder folder;
    const std::wstring path = folder / L"Tarnwick.user.ini";
    bool saved = false;
};

// Every byte reaches the disk before the file takes the user INI's name, and the move itself is
// written through, so that after a power failure the player finds the old choice or the new one.
TEST_F(FileReplacementCalls, TemporaryFileFlushedClosedAndMovedWithWriteThrough)
{
    ASSERT_NO_FATAL_FAILURE(SaveWhileRecording());
    EXPECT_TRUE(saved);
    const LPOVERLAPPED notOverlapped = nullptr;
    std::vector<std::wstring> expected = NamedAndOpened();
    expected.insert(expected.end(), {
        Call(L"WriteFile", temporaryFile, 73ul, notOverlapped),
        Call(L"FlushFileBuffers", temporaryFile),
        Call(L"CloseHandle", temporaryFile),
        Call(L"MoveFileExW", temporaryName, path,
            static_cast<DWORD>(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)),
    });
    EXPECT_EQ(fileCalls, expected);
}

// The name lookup creates the file it names: a save that cannot open it leaves nothing behind.
TEST_F(FileReplacementCalls, TemporaryFileThatCannotBeOpenedIsDeleted)
{
    openFails = true;
    ASSERT_NO_FATAL_FAILURE(SaveWhileRecording());
    EXPECT_FALSE(saved);
    ASSERT_FALSE(temporaryName.empty());
    std::vector<std::wstring> expected = NamedAndOpened();
    expected.push_back(Call(L"DeleteFileW", temporaryName));
    EXPECT_EQ(fileCalls, expected);
    EXPECT_EQ(ReadBytes(path), kPrevious);
    EXPECT_EQ(ListFolder(folder.Path()), std::vector<std::wstring>{L"Tarnwick.user.ini"});
}

} // namespace
