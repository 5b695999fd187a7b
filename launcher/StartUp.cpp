// The launcher's start-up sequence: command line, per-user folder, both configuration files,
// then the game at once, or the renderer-choice window and, on one road, the game after it.
#include "StartUp.h"

#include "CommandLine.h"
#include "GameStart.h"
#include "SelectionWindow.h"
#include "SelectionWindowOptions.h"
#include "TextConversion.h"
#include "UserDataFolder.h"
#include "configuration/ApplicationConfiguration.h"
#include "configuration/UserConfiguration.h"

#include <windows.h>
#include <commctrl.h>

#include <sstream>
#include <string>

namespace TARNWICK
{

namespace
{

void ShowStartUpError(const wchar_t* text)
{
    MessageBoxW(nullptr, text, L"Error", MB_OK | MB_ICONERROR);
}

void StartGame(const CommandLine& command_arguments,
    const CONFIGURATION::UserConfiguration& user_configuration,
    const CONFIGURATION::ApplicationConfiguration& application_configuration)
{
    const auto application_parameters = application_configuration.GetParameters();
    const auto user_parameters = user_configuration.GetParameters();
    // A game that does not start is not reported: the launcher ends the same way.
    LaunchGame(command_arguments, *user_parameters, *application_parameters);
}

} // namespace

int RunStartUpSequence(const char* commandLine)
{
    InitCommonControls();

    const CommandLine command_arguments{std::string(commandLine != nullptr ? commandLine : "")};

    const std::wstring vantorel_user_data_path = GetUserDataFolder();
    if (vantorel_user_data_path == EmptyPath)
    {
        ShowStartUpError(L"Cannot find user's Vantorel data.");
        return -1;
    }
    if (!InitializeUserDataFolder(vantorel_user_data_path))
    {
        ShowStartUpError(L"Cannot initialize user's Vantorel data.");
        return -1;
    }

    // Read on every road, also when only the window will be shown.
    const std::string APPLICATION_CONFIGURATION_FILE_NAME = "Tarnwickb.ini";
    CONFIGURATION::ApplicationConfiguration application_configuration(APPLICATION_CONFIGURATION_FILE_NAME);
    if (!application_configuration.Load())
    {
        ShowStartUpError(L"Cannot read application configuration.");
        return -1;
    }

    // A folder name beyond the BMP must reach the file name as its proper 4-byte UTF-8.
    const auto converter = &WideToUtf8;
    const std::string USER_CONFIGURATION_FILE_NAME = "Tarnwick.user.ini";
    std::ostringstream path_to_user_configuration_file;
    // The folder already ends in a backslash.
    path_to_user_configuration_file << converter(vantorel_user_data_path) << USER_CONFIGURATION_FILE_NAME;
    CONFIGURATION::UserConfiguration user_configuration(path_to_user_configuration_file.str());
    const bool userConfigurationRead = user_configuration.Load();

    if (userConfigurationRead && command_arguments.RunGame())
    {
        StartGame(command_arguments, user_configuration, application_configuration);
        return 0;
    }

    SelectionWindowOptions selection_window_options;
    if (userConfigurationRead)
    {
        CopyUserParametersToOptions(*user_configuration.GetParameters(), selection_window_options);
    }
    SelectionWindow selection_window(selection_window_options);
    selection_window.RunMessageLoop();
    if (!selection_window.IsAccepted())
    {
        return 0;
    }

    CopyOptionsToUserParameters(*selection_window.GetOptions(), *user_configuration.GetParameters());
    if (!user_configuration.Save())
    {
        // The choice still stands in memory, so the game below starts with it all the same.
        ShowStartUpError(L"Cannot update user's Vantorel configuration.");
    }
    if (!userConfigurationRead && command_arguments.RunGame())
    {
        StartGame(command_arguments, user_configuration, application_configuration);
    }
    return 0;
}

void ShowUnexpectedError(const char* message)
{
    static const wchar_t* const FALLBACK_TEXT = L"An unexpected error occurred.";
    std::wstring text;
    try
    {
        if (message != nullptr)
        {
            text = NarrowToWide(message);
        }
    }
    catch (...)
    {
        // Out of memory or unconvertible: the fixed sentence needs neither.
        text.clear();
    }
    ShowStartUpError(text.empty() ? FALLBACK_TEXT : text.c_str());
}

void CopyUserParametersToOptions(const CONFIGURATION::UserConfigurationParameters& userParameters,
    SelectionWindowOptions& options)
{
    options.renderingMode = userParameters.renderingMode;
    options.useMouseFix = userParameters.direct3dOptions.frameRateMouse;
}

void CopyOptionsToUserParameters(const SelectionWindowOptions& options,
    CONFIGURATION::UserConfigurationParameters& userParameters)
{
    userParameters.renderingMode = options.renderingMode;
    userParameters.direct3dOptions.frameRateMouse = options.useMouseFix;
}

} // namespace TARNWICK
