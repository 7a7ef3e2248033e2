#include "imaging/own/device_bitmap.h"

#include "imaging/own/dib_decode.h"
#include "imaging/own/palette.h"

#include <atomic>
#include <new>

namespace {
// Process-wide like the screen it describes; set once at start-up.
std::atomic<int> g_displayDepth{24};
} // namespace

void SetDisplayDepth(int bitsPerPixel)
{
    // Depth classes: 1, 4 and 8 bits have palettes of 2, 16 and 256 entries.
    const int depth = bitsPerPixel <= 1 ? 1 : bitsPerPixel <= 4 ? 4 : bitsPerPixel <= 8 ? 8 : 24;
    g_displayDepth.store(depth);
}

int DisplayDepth() { return g_displayDepth.load(); }

std::unique_ptr<DeviceBitmap> CreateCompatibleBitmap(int width, int height)
{
    if (width <= 0 || height <= 0 || std::size_t(width) * std::size_t(height) > kMaxDevicePixels)
        return nullptr;
    try {
        auto bmp = std::make_unique<DeviceBitmap>();
        bmp->width = width;
        bmp->height = height;
        const std::size_t count = std::size_t(width) * std::size_t(height);
        if (IsPaletteDisplay()) {
            bmp->indexed = true;
            bmp->indices.assign(count, 0);
            bmp->palette = SystemPalette(DisplayDepth());
        } else {
            bmp->pixels.assign(count, 0);
        }
        return bmp;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
