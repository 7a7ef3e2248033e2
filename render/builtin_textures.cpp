#include "render/builtin_textures.h"

#include "imaging/own/packed_dib.h"
#include "res/tiles/builtin_tiles.h"

#include <cstring>

std::unique_ptr<TexturePixels> PixelsFromPaletteDib(std::span<const std::uint8_t> dib)
{
    if (dib.size() < sizeof(BitmapInfoHeader))
        return nullptr;
    BitmapInfoHeader h;
    std::memcpy(&h, dib.data(), sizeof h);
    if (h.biSize != 40 || h.biBitCount != 8 || h.biCompression != BI_RGB_ || h.biWidth <= 0 ||
        h.biHeight == 0 || h.biWidth > 4096 || h.biHeight > 4096 || h.biHeight < -4096)
        return nullptr;
    const int colours = DibColorCount(h);
    const int width = h.biWidth, height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const std::size_t rowBytes = std::size_t(DibRowBytes(width, 8));
    const std::size_t pixelOffset = 40 + std::size_t(colours) * 4;
    if (colours <= 0 || colours > 256 || pixelOffset + rowBytes * std::size_t(height) > dib.size())
        return nullptr;
    auto tex = std::make_unique<TexturePixels>();
    tex->width = width;
    tex->height = height;
    tex->rgba.resize(std::size_t(width) * std::size_t(height) * 4);
    for (int y = 0; y < height; ++y) {
        const int sourceRow = h.biHeight > 0 ? height - 1 - y : y;
        const std::uint8_t* row = dib.data() + pixelOffset + rowBytes * std::size_t(sourceRow);
        for (int x = 0; x < width; ++x) {
            const int i = row[x] < colours ? row[x] : 0;
            const std::uint8_t* c = dib.data() + 40 + std::size_t(i) * 4;   // blue, green, red, 0
            std::uint8_t* out = tex->rgba.data() + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
            out[0] = c[2];
            out[1] = c[1];
            out[2] = c[0];
            out[3] = 0xFF;
        }
    }
    return tex;
}

std::unique_ptr<TexturePixels> BuiltInTilePixels(int id)
{
    const auto dib = BuiltInTileDib(id);
    return dib.empty() ? nullptr : PixelsFromPaletteDib(dib);
}
