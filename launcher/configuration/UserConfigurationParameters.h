// What the launcher remembers for one user: the rendering mode and the Direct3D options.
#pragma once

#include <cstdint>

#include "Direct3dOptions.h"

namespace TARNWICK::CONFIGURATION
{

struct UserConfigurationParameters
{
    UserConfigurationParameters();

    // 0 the software-rendered executable, 1 the Direct3D-rendered one; only reading limits it.
    std::int32_t renderingMode;
    Direct3dOptions direct3dOptions;
};

} // namespace TARNWICK::CONFIGURATION
