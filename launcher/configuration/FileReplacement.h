// Replaces a file's contents in one step, so that a failed write never leaves it short or empty.
#pragma once

#include <string>

#include <windows.h>

namespace TARNWICK::CONFIGURATION
{

// The platform calls of a replacement, one per step; virtual so that a test can make one fail.
class FileReplacementSteps
{
public:
    virtual ~FileReplacementSteps() = default;

    virtual bool IsReadOnly(const std::wstring& path);
    // Creates a new, empty file in the folder and opens it for writing.
    virtual bool CreateTemporary(const std::wstring& folder, std::wstring& temporaryPath, HANDLE& file);
    virtual bool Write(HANDLE file, const char* data, DWORD size, DWORD& written);
    virtual bool Flush(HANDLE file);
    virtual bool Close(HANDLE file);
    virtual bool Move(const std::wstring& from, const std::wstring& to);
    virtual bool Remove(const std::wstring& path);
};

// Writes the contents to a new file beside `path` and moves it over `path`. A read-only file
// is refused. On false the file at `path` is as it was and no new file is left behind.
bool ReplaceFileContents(const std::wstring& path, const std::string& contents, FileReplacementSteps& steps);
bool ReplaceFileContents(const std::wstring& path, const std::string& contents);

} // namespace TARNWICK::CONFIGURATION
