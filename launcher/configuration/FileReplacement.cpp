// Replaces a file through a temporary file in the same folder, checking every write.
#include "FileReplacement.h"

namespace TARNWICK::CONFIGURATION
{

namespace
{

std::wstring FolderOf(const std::wstring& path)
{
    const std::wstring::size_type separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos)
        return L".";
    // "C:\name" keeps its backslash: "C:" alone would mean that drive's current directory.
    if (separator == 0 || path[separator - 1] == L':')
        return path.substr(0, separator + 1);
    return path.substr(0, separator);
}

bool WriteAll(FileReplacementSteps& steps, HANDLE file, const std::string& contents)
{
    std::string::size_type offset = 0;
    while (offset < contents.size())
    {
        DWORD written = 0;
        const DWORD size = static_cast<DWORD>(contents.size() - offset);
        // A write that reports success but moves nothing would loop for ever.
        if (!steps.Write(file, contents.data() + offset, size, written) || written == 0 || written > size)
            return false;
        offset += written;
    }
    return true;
}

} // namespace

bool FileReplacementSteps::IsReadOnly(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool FileReplacementSteps::CreateTemporary(const std::wstring& folder, std::wstring& temporaryPath, HANDLE& file)
{
    wchar_t name[MAX_PATH];
    // Creates the file under a name that no other file in the folder has.
    if (GetTempFileNameW(folder.c_str(), L"Tar", 0, name) == 0)
        return false;
    file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        DeleteFileW(name);
        return false;
    }
    temporaryPath = name;
    return true;
}

bool FileReplacementSteps::Write(HANDLE file, const char* data, DWORD size, DWORD& written)
{
    return WriteFile(file, data, size, &written, nullptr) != FALSE;
}

bool FileReplacementSteps::Flush(HANDLE file)
{
    return FlushFileBuffers(file) != FALSE;
}

bool FileReplacementSteps::Close(HANDLE file)
{
    return CloseHandle(file) != FALSE;
}

bool FileReplacementSteps::Move(const std::wstring& from, const std::wstring& to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

bool FileReplacementSteps::Remove(const std::wstring& path)
{
    return DeleteFileW(path.c_str()) != FALSE;
}

bool ReplaceFileContents(const std::wstring& path, const std::string& contents, FileReplacementSteps& steps)
{
    // Moving over a read-only file succeeds where the platform does not enforce the attribute;
    // the user marked the file so that it stays as it is.
    if (steps.IsReadOnly(path))
        return false;

    std::wstring temporaryPath;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (!steps.CreateTemporary(FolderOf(path), temporaryPath, file))
        return false;

    bool complete = WriteAll(steps, file, contents) && steps.Flush(file);
    // The handle is closed whatever happened before; a late write error shows up here too.
    complete = steps.Close(file) && complete;
    if (!complete || !steps.Move(temporaryPath, path))
    {
        steps.Remove(temporaryPath);
        return false;
    }
    return true;
}

bool ReplaceFileContents(const std::wstring& path, const std::string& contents)
{
    FileReplacementSteps steps;
    return ReplaceFileContents(path, contents, steps);
}

} // namespace TARNWICK::CONFIGURATION
