#pragma once
// The renderer of a show window.
#include "render/dx_graphics.h"

#include <memory>

inline std::unique_ptr<DXGraphics> MakeRenderer(CSaverSettings& settings)
{
    return std::make_unique<DXGraphics>(settings);
}
