// What the renderer-choice window shows at the start and hands back after OK.
#pragma once

#include <cstdint>

namespace TARNWICK
{

struct SelectionWindowOptions
{
    // 1 runs the Direct3D-rendered executable; every other value the software-rendered one.
    std::int32_t renderingMode;
    bool useMouseFix;

    SelectionWindowOptions();
};

} // namespace TARNWICK
