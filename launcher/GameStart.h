// The game start: which of the game's executables runs, its command line, and its process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace TARNWICK
{

class CommandLine;

namespace CONFIGURATION
{
struct ApplicationConfigurationParameters;
struct UserConfigurationParameters;
} // namespace CONFIGURATION

// Each number is compared with 1 alone: any other rendering mode means software, any other
// edition the base game.
std::wstring SelectGameExecutable(std::int32_t gameEdition, std::int32_t renderingMode,
    const CONFIGURATION::ApplicationConfigurationParameters& applicationParameters);

// The game's command line in the writable, zero-terminated buffer that the process creation
// takes: the executable, a blank, the pass-through text and, with the mouse fix, " -frameratemouse".
std::vector<wchar_t> ComposeGameCommandLine(std::int32_t gameEdition, std::int32_t renderingMode,
    bool frameRateMouse, const CONFIGURATION::ApplicationConfigurationParameters& applicationParameters,
    const std::wstring& arguments);

// Starts the chosen executable and does not wait for it; true when its process was created.
bool LaunchGame(const CommandLine& commandLine,
    const CONFIGURATION::UserConfigurationParameters& userParameters,
    const CONFIGURATION::ApplicationConfigurationParameters& applicationParameters);

} // namespace TARNWICK
