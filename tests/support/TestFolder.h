// A fresh folder under the temporary folder for one test, and files read and written byte for
// byte through the platform's wide file functions.
#pragma once

#include <optional>
#include <string>
#include <vector>

class TestFolder
{
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The folder's path, without a trailing backslash.
    const std::wstring& Path() const { return path; }
    std::wstring operator/(const std::wstring& name) const { return path + L"\\" + name; }

private:
    std::wstring path;
};

bool WriteBytes(const std::wstring& path, const std::string& bytes);
// Nothing when the file cannot be opened.
std::optional<std::string> ReadBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
// The names in the folder as the file system holds them, sorted, without "." and "..".
std::vector<std::wstring> ListFolder(const std::wstring& folder);
// Removes a file (read-only or not) or a folder with all it holds; true when nothing is left.
bool RemoveTree(const std::wstring& path);
