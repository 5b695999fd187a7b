// The user's settings that matter only for the Direct3D-rendered executable.
#pragma once

namespace TARNWICK::CONFIGURATION
{

struct Direct3dOptions
{
    Direct3dOptions();

    bool frameRateMouse;
};

} // namespace TARNWICK::CONFIGURATION
