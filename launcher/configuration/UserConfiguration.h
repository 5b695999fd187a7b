// The per-user INI: the choice made in the renderer-choice window, kept from one run to the next.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "IniFile.h"
#include "UserConfigurationParameters.h"

namespace TARNWICK::CONFIGURATION
{

class UserConfiguration
{
public:
    // The file's full name as UTF-8.
    explicit UserConfiguration(const std::string& fileName);
    ~UserConfiguration();

    // True when the file could be read, whatever it holds; unusable values read as the defaults.
    bool Load();
    // Rewrites the file whole with the record's two values; on false the file is as it was.
    bool Save();
    std::shared_ptr<UserConfigurationParameters> GetParameters() const;

private:
    void ReadDirect3dOptions(const IniFile& iniFile, Direct3dOptions& options) const;
    bool WriteDirect3dOptions(const Direct3dOptions& options, IniFile& iniFile) const;

    const wchar_t* renderingModeSection;
    const wchar_t* modeKey;
    const wchar_t* direct3dOptionsSection;
    const wchar_t* frameRateMouseKey;
    std::string fileName;
    std::shared_ptr<UserConfigurationParameters> parameters;
};

// The value when it is 0 or 1, else 0 (the software-rendered executable).
std::int32_t ClampRenderingMode(const long& value);

} // namespace TARNWICK::CONFIGURATION
