// The application INI: which executables of the game exist, for both editions and renderers.
#pragma once

#include <memory>
#include <string>

#include "ApplicationConfigurationParameters.h"
#include "IniFile.h"

namespace TARNWICK::CONFIGURATION
{

class ApplicationConfiguration
{
public:
    explicit ApplicationConfiguration(const std::string& fileName);
    ~ApplicationConfiguration();

    // True only when the file was read and all four names are present and non-empty.
    bool Load();
    std::shared_ptr<ApplicationConfigurationParameters> GetParameters() const;

private:
    static bool ReadRendererPrograms(IniFile& iniFile, const wchar_t* section, RendererPrograms& programs);

    std::string fileName;
    std::shared_ptr<ApplicationConfigurationParameters> parameters;
};

} // namespace TARNWICK::CONFIGURATION
