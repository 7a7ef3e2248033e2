#pragma once
// The smaller levels of a texture: each half the size of the one above
// (rounded down, at least 1), every texel the mean of the 2 x 2 texels it
// covers. A side of odd length gives its last row or column to the last texel,
// which then covers 3, so nothing of the picture is dropped. Made on the CPU,
// for a photo on the loader thread, so that the frame that uploads it only
// copies them, and every driver shows the same result.
#include "render/texture_pixels.h"

#include <vector>

// The level below `level`.
TexturePixels HalfLevel(const TexturePixels& level);
// Every level below `texture`, down to 1 x 1.
std::vector<TexturePixels> MipmapsOf(const TexturePixels& texture);
// Whether `levels` are exactly the levels below `texture` in size.
bool IsMipmapChainOf(const TexturePixels& texture, const std::vector<TexturePixels>& levels);
