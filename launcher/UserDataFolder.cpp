// Finds and creates the per-user folder that holds the user INI file.
#include "UserDataFolder.h"

#include "TextConversion.h"

#include <Poco/File.h>
#include <Poco/Path.h>

#include <windows.h>
#include <shlobj.h>

namespace TARNWICK
{

const std::wstring EmptyPath;

std::wstring GetUserDataFolder()
{
    static const std::wstring RELATIVE_VANTOREL_USER_DATA_PATH = L"\\Corvash\\Vantorel\\";

    wchar_t local_appdata_path[MAX_PATH];
    const HRESULT result =
        SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local_appdata_path);
    // Any success code counts, not only S_OK.
    if (FAILED(result))
        return EmptyPath;
    return std::wstring(local_appdata_path) + RELATIVE_VANTOREL_USER_DATA_PATH;
}

bool InitializeUserDataFolder(const std::wstring& userDataFolder)
{
    // Poco takes UTF-8; a character beyond the BMP must arrive as one sequence, not two halves.
    const std::string path_ansi_text = WideToUtf8(userDataFolder);
    const Poco::Path path_to_create(path_ansi_text, Poco::Path::PATH_NATIVE);
    try
    {
        Poco::File path_file(path_to_create);
        // An entry of the name that already exists, whatever its kind, counts as present.
        path_file.createDirectories();
        return true;
    }
    catch (...)
    {
        return false;
    }
}

} // namespace TARNWICK
