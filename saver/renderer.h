#pragma once
// The renderer of a show window.
#include "app/saver_app.h"

#include <memory>

class CSaverSettings;
class QWindow;

#if __has_include("render/dx_graphics.h")
#include "render/dx_graphics.h"
#else
// Until the renderer library is part of the build: a renderer that never
// creates a device, so the window shows its fall-back picture or message.
class DXGraphics {
public:
    explicit DXGraphics(CSaverSettings&) {}
    bool Init(QWindow*, const Rect&) { return false; }
    bool IsCreated() const { return false; }
    void RenderFrame() {}
    void CloseDX() {}
};
#endif

inline std::unique_ptr<DXGraphics> MakeRenderer(CSaverSettings& settings)
{
    return std::make_unique<DXGraphics>(settings);
}
