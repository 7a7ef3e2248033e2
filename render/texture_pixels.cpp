#include "render/texture_pixels.h"

#include "app/log.h"
#include "imaging/own/dib_from_bitmap.h"

#include <chrono>
#include <cstring>
#include <new>

namespace {

std::uint32_t ReadArgb(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void WriteRgba(std::uint8_t* out, std::uint32_t argb)
{
    out[0] = std::uint8_t(argb >> 16);
    out[1] = std::uint8_t(argb >> 8);
    out[2] = std::uint8_t(argb);
    out[3] = std::uint8_t(argb >> 24);
}

std::uint32_t NowMs()
{
    using namespace std::chrono;
    return std::uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

std::uint32_t TexturePixels::Argb(int x, int y) const
{
    const std::uint8_t* p = rgba.data() + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4;
    return std::uint32_t(p[3]) << 24 | std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
}

std::unique_ptr<TexturePixels> PixelsFromDib(const PackedDib& dib, std::uint32_t key, int maxSize)
{
    if (!dib || dib.size() < sizeof(BitmapInfoHeader))
        return nullptr;
    const BitmapInfoHeader h = dib.Header();
    if (h.biBitCount != 32 || h.biCompression != BI_RGB_ || h.biWidth <= 0 || h.biHeight >= 0)
        return nullptr;
    const std::int64_t width = h.biWidth, height = -std::int64_t(h.biHeight);
    const std::int64_t rowBytes = DibRowBytes(width, 32);
    const std::size_t offset = dib.PixelOffset();
    if (offset > dib.size() || std::uint64_t(rowBytes) * std::uint64_t(height) > dib.size() - offset)
        return nullptr;
    const int limit = maxSize > 0 ? maxSize : 1;
    int step = 1;
    while ((width + step - 1) / step > limit || (height + step - 1) / step > limit)
        ++step;
    try {
        auto tex = std::make_unique<TexturePixels>();
        tex->width = int((width + step - 1) / step);
        tex->height = int((height + step - 1) / step);
        tex->rgba.resize(std::size_t(tex->width) * std::size_t(tex->height) * 4);
        const std::uint8_t* base = dib.data() + offset;
        std::uint8_t* out = tex->rgba.data();
        for (int y = 0; y < tex->height; ++y) {
            const std::uint8_t* row = base + std::size_t(y) * std::size_t(step) * std::size_t(rowBytes);
            for (int x = 0; x < tex->width; ++x, out += 4) {
                const std::uint32_t argb = ReadArgb(row + std::size_t(x) * std::size_t(step) * 4);
                WriteRgba(out, argb == key ? 0u : argb);
            }
        }
        return tex;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<TexturePixels> TextureFromBitmap(const DeviceBitmap& bitmap, std::uint32_t key, int maxSize)
{
    const std::uint32_t t0 = NowMs();
    const std::size_t count = std::size_t(bitmap.width > 0 ? bitmap.width : 0) *
                              std::size_t(bitmap.height > 0 ? bitmap.height : 0);
    // Not a usable bitmap: refused without a line, as the record cannot be read.
    if (count == 0 || (bitmap.indexed ? bitmap.indices.size() : bitmap.pixels.size()) < count)
        return nullptr;
    const PackedDib dib = DibFromBitmap(bitmap, nullptr, 32, true);
    if (!dib) {
        Log("DXGraphics::TextureFromBitmap: DibFromBitmap failed");
        return nullptr;
    }
    auto tex = PixelsFromDib(dib, key, maxSize);
    if (!tex) {
        Log("DXGraphics::TextureFromBitmap: D3DXCreateTexture failed error 0x%x", 0x8007000Eu);
        return nullptr;
    }
    Log("DXGraphics::TextureFromBitmap: %dms", int(NowMs() - t0));
    return tex;
}
