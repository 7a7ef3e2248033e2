#pragma once
// The pixels of the built-in face tiles (bitmaps 219 + face).
#include "render/texture_pixels.h"

#include <cstdint>
#include <memory>
#include <span>

// Decodes an uncompressed 8-bit packed DIB; null when it is anything else.
std::unique_ptr<TexturePixels> PixelsFromPaletteDib(std::span<const std::uint8_t> dib);
// The tile of resource `id`; null for an unknown id.
std::unique_ptr<TexturePixels> BuiltInTilePixels(int id);
