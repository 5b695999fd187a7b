// The launcher's start-up sequence, and the copies of the choice between the user
// configuration and the renderer-choice window.
#pragma once

namespace TARNWICK
{

struct SelectionWindowOptions;

namespace CONFIGURATION
{
struct UserConfigurationParameters;
} // namespace CONFIGURATION

// The whole run of the launcher on its narrow command line; the result is the exit code.
int RunStartUpSequence(const char* commandLine);

// Shows an exception that escaped the sequence; a null or empty message gets a fixed sentence.
void ShowUnexpectedError(const char* message);

void CopyUserParametersToOptions(const CONFIGURATION::UserConfigurationParameters& userParameters,
    SelectionWindowOptions& options);
void CopyOptionsToUserParameters(const SelectionWindowOptions& options,
    CONFIGURATION::UserConfigurationParameters& userParameters);

} // namespace TARNWICK
