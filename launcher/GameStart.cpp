// The game start: picks one of the game's four executables, composes its command line and
// creates its process, which then runs on its own.
#include "GameStart.h"

#include "CommandLine.h"
#include "TextConversion.h"
#include "configuration/ApplicationConfigurationParameters.h"
#include "configuration/UserConfigurationParameters.h"

#include <windows.h>

#include <wchar.h>

namespace TARNWICK
{

std::wstring SelectGameExecutable(std::int32_t gameEdition, std::int32_t renderingMode,
    const CONFIGURATION::ApplicationConfigurationParameters& applicationParameters)
{
    const CONFIGURATION::RendererPrograms& programs =
        gameEdition == 1 ? applicationParameters.skellmoor : applicationParameters.original;
    return renderingMode == 1 ? programs.direct3D : programs.directDraw;
}

std::vector<wchar_t> ComposeGameCommandLine(std::int32_t gameEdition, std::int32_t renderingMode,
    bool frameRateMouse, const CONFIGURATION::ApplicationConfigurationParameters& applicationParameters,
    const std::wstring& arguments)
{
    static const std::wstring FRAME_RATE_MOUSE_SWITCH = L" -frameratemouse";

    const std::wstring executable = SelectGameExecutable(gameEdition, renderingMode, applicationParameters);
    const std::size_t e = executable.size();
    const std::size_t a = arguments.size();
    const std::size_t f = FRAME_RATE_MOUSE_SWITCH.size();

    // The switch is counted even when it is not written; the 2 are the blank behind the
    // executable and the terminating zero.
    std::vector<wchar_t> buffer(e + a + f + 2);
    // Each copy is given its piece's own size, not the room left: the buffer's length makes
    // every piece fit.
    wcscpy_s(&buffer[0], e + 1, executable.c_str());
    buffer[e] = L' ';
    wcscpy_s(&buffer[e + 1], a + 1, arguments.c_str());
    std::size_t end = e + 1 + a;
    if (frameRateMouse)
    {
        wcscpy_s(&buffer[end], f + 1, FRAME_RATE_MOUSE_SWITCH.c_str());
        end += f;
    }
    buffer[end] = L'\0';
    return buffer;
}

bool LaunchGame(const CommandLine& commandLine,
    const CONFIGURATION::UserConfigurationParameters& userParameters,
    const CONFIGURATION::ApplicationConfigurationParameters& applicationParameters)
{
    const std::int32_t gameEdition = commandLine.GameEdition();
    const std::wstring arguments = NarrowToWide(commandLine.Arguments());

    STARTUPINFOW startupInfo{};
    startupInfo.cb = sizeof startupInfo;
    PROCESS_INFORMATION processInformation{};

    BOOL created = FALSE;
    {
        // The process creation may write into the command line, so it gets a buffer of its own.
        std::vector<wchar_t> gameCommandLine = ComposeGameCommandLine(gameEdition,
            userParameters.renderingMode, userParameters.direct3dOptions.frameRateMouse,
            applicationParameters, arguments);
        created = CreateProcessW(nullptr, gameCommandLine.data(), nullptr, nullptr, FALSE,
            NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startupInfo, &processInformation);
    }
    const bool started = created == TRUE;
    if (started)
    {
        // The game runs on its own: nothing waits for it, so nothing keeps its handles.
        CloseHandle(processInformation.hProcess);
        CloseHandle(processInformation.hThread);
    }
    return started;
}

} // namespace TARNWICK
