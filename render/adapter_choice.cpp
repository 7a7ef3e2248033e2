#include "render/adapter_choice.h"

#include "app/log.h"

#include <algorithm>
#include <cctype>
#include <string>

AdapterChoice ChooseAdapter(std::span<const Rect> monitors, const Rect& window)
{
    AdapterChoice choice;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const Rect& m = monitors[i];
        Log("DXGraphics Init, Adapter %d: %d,%d - %d,%d", int(i), m.left, m.top, m.right, m.bottom);
        if (window.Intersects(m)) {
            choice.adapter = unsigned(i);
            break;
        }
    }
    choice.wantedSize = std::max(window.Width(), window.Height()) / 2;
    return choice;
}

bool IsReferenceRasteriser(std::string_view rendererName)
{
    std::string lower(rendererName);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    for (const char* word : {"softpipe", "swrast", "software rasterizer"})
        if (lower.find(word) != std::string::npos)
            return true;
    return false;
}

bool IsCpuRasteriser(std::string_view rendererName)
{
    std::string lower(rendererName);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return lower.find("llvmpipe") != std::string::npos || IsReferenceRasteriser(rendererName);
}
