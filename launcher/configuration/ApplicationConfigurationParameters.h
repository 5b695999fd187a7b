// The four executables of the application INI: the base game's and Skellmoor's.
#pragma once

#include "RendererPrograms.h"

namespace TARNWICK::CONFIGURATION
{

struct ApplicationConfigurationParameters
{
    RendererPrograms original;
    RendererPrograms skellmoor;
};

} // namespace TARNWICK::CONFIGURATION
