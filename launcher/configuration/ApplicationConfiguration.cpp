// Reads the application INI's four executable names into the shared record.
#include "ApplicationConfiguration.h"

#include <SimpleIni.h>

namespace TARNWICK::CONFIGURATION
{

ApplicationConfiguration::ApplicationConfiguration(const std::string& fileName)
    : fileName(fileName), parameters(std::make_shared<ApplicationConfigurationParameters>())
{
}

ApplicationConfiguration::~ApplicationConfiguration() = default;

bool ApplicationConfiguration::Load()
{
    IniFile ini_file(false, false, false);
    // The narrow name goes to the library as it is: a bare name is looked up in the current
    // directory, where the game keeps the file.
    if (ini_file.LoadFile(fileName.c_str()) < 0)
        return false;
    if (!ReadRendererPrograms(ini_file, L"Original", parameters->original))
        return false;
    return ReadRendererPrograms(ini_file, L"Skellmoor", parameters->skellmoor);
}

std::shared_ptr<ApplicationConfigurationParameters> ApplicationConfiguration::GetParameters() const
{
    return parameters;
}

bool ApplicationConfiguration::ReadRendererPrograms(IniFile& iniFile, const wchar_t* section,
                                                    RendererPrograms& programs)
{
    programs = RendererPrograms();
    // The library hands back trimmed values, so a missing key and a blank value both come out empty.
    programs.directDraw = iniFile.GetValue(section, L"DirectDraw", L"");
    if (programs.directDraw.empty())
        return false;
    programs.direct3D = iniFile.GetValue(section, L"Direct3D", L"");
    return !programs.direct3D.empty();
}

} // namespace TARNWICK::CONFIGURATION
