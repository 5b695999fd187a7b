// A fresh folder under the temporary folder for one test, removed with all it holds afterwards.
#pragma once

#include <string>
#include <vector>

class TestFolder
{
public:
    TestFolder();
    ~TestFolder();

    // The folder's path, without a trailing backslash.
    const std::wstring& Path() const { return path; }
    std::wstring operator/(const std::wstring& name) const { return path + L"\\" + name; }

private:
    std::wstring path;
};

bool WriteBytes(const std::wstring& path, const std::string& bytes);
// The file's bytes, or "<unreadable>" when it cannot be read.
std::string ReadBytes(const std::wstring& path);
// The names in the folder, sorted, without "." and "..".
std::vector<std::wstring> ListFolder(const std::wstring& folder);
void RemoveTree(const std::wstring& path);
