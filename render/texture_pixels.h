#pragma once
// Texture pixels made from a loaded photo on the loader thread. They stay in
// memory until the frame that puts them on a face uploads them, so the loader
// thread never touches the graphics device.
#include "imaging/own/device_bitmap.h"
#include "imaging/own/packed_dib.h"

#include <cstdint>
#include <memory>
#include <vector>

// The renderer's transparent key: magenta with a zero fourth byte.
constexpr std::uint32_t kColourKey = 0x00FF00FFu;

struct TexturePixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;   // top row first, bytes red, green, blue, alpha
    // The smaller levels (render/mipmaps.h) when made ahead; the upload makes
    // them itself when they are missing.
    std::vector<TexturePixels> mipmaps;

    std::uint32_t Argb(int x, int y) const;
};

// The pixels of a 32-bit top-down packed DIB: the fourth byte becomes alpha and a
// pixel equal to `key` (as ARGB) becomes transparent black. Null on a DIB of any
// other shape or when memory runs out. Larger than `maxSize` on a side, the image
// is reduced by a whole factor, as the device cannot hold it.
std::unique_ptr<TexturePixels> PixelsFromDib(const PackedDib& dib, std::uint32_t key, int maxSize);

// The texture of a device bitmap (through its 32-bit top-down DIB), with timing
// and failure lines in the log. Null on failure.
std::unique_ptr<TexturePixels> TextureFromBitmap(const DeviceBitmap& bitmap, std::uint32_t key,
                                                 int maxSize = 16384);
