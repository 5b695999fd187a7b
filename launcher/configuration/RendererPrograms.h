// The two executables of one game edition, as the application INI names them.
#pragma once

#include <string>

namespace TARNWICK::CONFIGURATION
{

// A plain value: the implicit move assignment moves directDraw, then direct3D.
struct RendererPrograms
{
    std::wstring directDraw;
    std::wstring direct3D;
};

} // namespace TARNWICK::CONFIGURATION
