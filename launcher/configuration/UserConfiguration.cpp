// Reads and writes the per-user INI: the rendering mode and the mouse fix.
#include "UserConfiguration.h"

#include <SimpleIni.h>

#include "FileReplacement.h"
#include "TextConversion.h"

namespace TARNWICK::CONFIGURATION
{

Direct3dOptions::Direct3dOptions()
    : frameRateMouse(false)
{
}

UserConfigurationParameters::UserConfigurationParameters()
    : renderingMode(0)
{
}

UserConfiguration::UserConfiguration(const std::string& fileName)
    : renderingModeSection(L"RenderingMode"),
      modeKey(L"Mode"),
      direct3dOptionsSection(L"Direct3dOptions"),
      frameRateMouseKey(L"FrameRateMouse"),
      fileName(fileName),
      parameters(std::make_shared<UserConfigurationParameters>())
{
}

UserConfiguration::~UserConfiguration() = default;

bool UserConfiguration::Load()
{
    // The name is UTF-8; only the wide file functions reach every folder name a user can have.
    std::wstring wideFileName;
    if (!Utf8ToWide(fileName, wideFileName))
        return false;

    IniFile ini_file(false, false, false);
    if (ini_file.LoadFile(wideFileName.c_str()) < 0)
        return false;

    const long rendering_mode_value = ini_file.GetLongValue(renderingModeSection, modeKey, 0);
    parameters->renderingMode = ClampRenderingMode(rendering_mode_value);
    ReadDirect3dOptions(ini_file, parameters->direct3dOptions);
    return true;
}

bool UserConfiguration::Save()
{
    IniFile ini_file(false, false, false);
    if (ini_file.SetLongValue(renderingModeSection, modeKey, parameters->renderingMode, nullptr, false, false) < 0)
        return false;
    if (!WriteDirect3dOptions(parameters->direct3dOptions, ini_file))
        return false;

    // The library's own file writing ignores write and close errors, so it only formats the
    // text here and the file is replaced whole once every byte is known to be on disk.
    std::string text;
    if (ini_file.Save(text, false) < 0)
        return false;

    std::wstring wideFileName;
    if (!Utf8ToWide(fileName, wideFileName))
        return false;
    return ReplaceFileContents(wideFileName, text);
}

std::shared_ptr<UserConfigurationParameters> UserConfiguration::GetParameters() const
{
    return parameters;
}

void UserConfiguration::ReadDirect3dOptions(const IniFile& iniFile, Direct3dOptions& options) const
{
    options.frameRateMouse = iniFile.GetBoolValue(direct3dOptionsSection, frameRateMouseKey, false);
}

bool UserConfiguration::WriteDirect3dOptions(const Direct3dOptions& options, IniFile& iniFile) const
{
    return iniFile.SetBoolValue(direct3dOptionsSection, frameRateMouseKey, options.frameRateMouse, nullptr, false) >= 0;
}

std::int32_t ClampRenderingMode(const long& value)
{
    return value == 0 || value == 1 ? static_cast<std::int32_t>(value) : 0;
}

} // namespace TARNWICK::CONFIGURATION
