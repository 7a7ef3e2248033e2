#pragma once
// The device bitmap and palette of this platform. On a true-colour display a
// device bitmap is a 32-bit pixel buffer (bytes blue, green, red, alpha; alpha
// is 0xFF for every pixel an image or a fill puts there); on a palette display
// (depth 8 or less) it holds palette indices and the palette.
#include <cstdint>
#include <memory>
#include <vector>

struct PaletteEntry {
    std::uint8_t red = 0, green = 0, blue = 0, flags = 0;
    bool operator==(const PaletteEntry&) const = default;
};

struct DevicePalette {
    std::vector<PaletteEntry> entries;
};

struct DeviceBitmap {
    int width = 0;
    int height = 0;
    bool indexed = false;                 // palette display: `indices` holds the image
    std::vector<std::uint32_t> pixels;    // true colour, row-major top-down: 0xAARRGGBB
    std::vector<std::uint8_t> indices;    // palette display, row-major top-down
    std::shared_ptr<const DevicePalette> palette; // colours of `indices`

    std::uint32_t* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
    const std::uint32_t* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
};

// The display's depth class (bits per pixel, 24 for anything above 8), set at
// start-up from the screen and injected in tests. Every palette path keys off it.
void SetDisplayDepth(int bitsPerPixel);
int DisplayDepth();
inline bool IsPaletteDisplay() { return DisplayDepth() <= 8; }

// A screen-compatible device bitmap of the display's format; empty on failure
// (zero or absurd sizes). True colour pixels are zero (transparent black).
std::unique_ptr<DeviceBitmap> CreateCompatibleBitmap(int width, int height);
