#include "render/mipmaps.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// The source span of destination index d: 2 indices, or 3 for the last one
// of an odd side (1 when the side is already 1).
struct Span {
    int first, count;
};
Span SpanOf(int d, int destSize, int srcSize)
{
    if (srcSize == 1)
        return {0, 1};
    const bool lastOfOdd = d == destSize - 1 && srcSize % 2 == 1;
    return {2 * d, lastOfOdd ? 3 : 2};
}

std::uint32_t Load(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// The rounded mean of four RGBA texels, all four channels at once: two
// channels per 32-bit word with room for the carries.
std::uint32_t MeanOfFour(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d)
{
    constexpr std::uint32_t kEven = 0x00FF00FFu, kHalf = 0x00020002u;
    const std::uint32_t even = (a & kEven) + (b & kEven) + (c & kEven) + (d & kEven) + kHalf;
    const std::uint32_t odd = (a >> 8 & kEven) + (b >> 8 & kEven) + (c >> 8 & kEven) + (d >> 8 & kEven) + kHalf;
    return (even >> 2 & kEven) | (odd >> 2 & kEven) << 8;
}

} // namespace

TexturePixels HalfLevel(const TexturePixels& src)
{
    TexturePixels dst;
    dst.width = std::max(1, src.width / 2);
    dst.height = std::max(1, src.height / 2);
    dst.rgba.resize(std::size_t(dst.width) * std::size_t(dst.height) * 4);
    const std::size_t srcRow = std::size_t(src.width) * 4;
    const bool evenCore = src.width > 1;   // whole 2 x 2 boxes along the row
    for (int y = 0; y < dst.height; ++y) {
        const Span rows = SpanOf(y, dst.height, src.height);
        std::uint8_t* out = dst.rgba.data() + std::size_t(y) * std::size_t(dst.width) * 4;
        const std::uint8_t* r0 = src.rgba.data() + std::size_t(rows.first) * srcRow;
        // The common case: two rows, two columns, a shift for the mean.
        int x = 0;
        if (rows.count == 2 && evenCore) {
            const std::uint8_t* r1 = r0 + srcRow;
            const int core = src.width % 2 == 1 ? dst.width - 1 : dst.width;
            for (; x < core; ++x) {
                const std::size_t s = std::size_t(x) * 8;
                const std::uint32_t mean = MeanOfFour(Load(r0 + s), Load(r0 + s + 4), Load(r1 + s), Load(r1 + s + 4));
                std::memcpy(out + std::size_t(x) * 4, &mean, 4);
            }
        }
        for (; x < dst.width; ++x) {
            const Span cols = SpanOf(x, dst.width, src.width);
            unsigned sum[4] = {0, 0, 0, 0};
            for (int j = 0; j < rows.count; ++j) {
                const std::uint8_t* row = r0 + std::size_t(j) * srcRow;
                for (int i = 0; i < cols.count; ++i)
                    for (int c = 0; c < 4; ++c)
                        sum[c] += row[std::size_t(cols.first + i) * 4 + std::size_t(c)];
            }
            const unsigned n = unsigned(rows.count * cols.count);
            for (int c = 0; c < 4; ++c)
                out[x * 4 + c] = std::uint8_t((sum[c] + n / 2) / n);
        }
    }
    return dst;
}

std::vector<TexturePixels> MipmapsOf(const TexturePixels& texture)
{
    std::vector<TexturePixels> levels;
    const TexturePixels* above = &texture;
    while (above->width > 1 || above->height > 1) {
        levels.push_back(HalfLevel(*above));
        above = &levels.back();
    }
    return levels;
}

bool IsMipmapChainOf(const TexturePixels& texture, const std::vector<TexturePixels>& levels)
{
    int w = texture.width, h = texture.height;
    for (const TexturePixels& level : levels) {
        if (w == 1 && h == 1)
            return false;
        w = std::max(1, w / 2);
        h = std::max(1, h / 2);
        if (level.width != w || level.height != h || level.rgba.size() != std::size_t(w) * std::size_t(h) * 4)
            return false;
    }
    return w == 1 && h == 1;
}
