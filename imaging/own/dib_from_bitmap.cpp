#include "imaging/own/dib_from_bitmap.h"

#include "imaging/own/palette.h"

#include <algorithm>

namespace {

bool UsableBitmap(const DeviceBitmap& b)
{
    if (b.width <= 0 || b.height <= 0)
        return false;
    const std::size_t count = std::size_t(b.width) * std::size_t(b.height);
    return b.indexed ? b.indices.size() >= count : b.pixels.size() >= count;
}

// Bits of a device bitmap: palette bitmaps by the size of their palette.
int OwnDepth(const DeviceBitmap& b)
{
    if (!b.indexed)
        return 24;
    const std::size_t n = b.palette ? b.palette->entries.size() : 256;
    return n <= 2 ? 1 : n <= 16 ? 4 : 8;
}

std::uint32_t PixelArgb(const DeviceBitmap& b, std::size_t at)
{
    if (!b.indexed)
        return b.pixels[at];
    const std::uint8_t index = b.indices[at];
    if (b.palette && index < b.palette->entries.size())
        return EntryArgb(b.palette->entries[index]);
    return 0xFF000000u;
}

} // namespace

PackedDib DibFromBitmap(const DeviceBitmap& bitmap, const DevicePalette* palette, int depth, bool topDown)
{
    if (!UsableBitmap(bitmap))
        return {};
    if (depth == 0)
        depth = OwnDepth(bitmap);
    if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32)
        return {};
    // Depths of 8 or less always carry their table: indices without colours mean nothing.
    const int entries = depth <= 8 ? 1 << depth : 0;
    const std::int64_t rowBytes = DibRowBytes(bitmap.width, depth);
    const std::uint64_t image = std::uint64_t(rowBytes) * std::uint64_t(bitmap.height);
    if (image > kMaxDibPixelBytes)
        return {};
    PackedDib dib = PackedDib::Allocate(40 + 4 * std::size_t(entries) + std::size_t(image));
    if (!dib)
        return dib;
    BitmapInfoHeader h;
    h.biWidth = bitmap.width;
    h.biHeight = topDown ? -bitmap.height : bitmap.height;
    h.biBitCount = std::uint16_t(depth);
    h.biSizeImage = std::uint32_t(image);
    h.biClrUsed = h.biClrImportant = std::uint32_t(entries);
    dib.SetHeader(h);

    const DevicePalette* table = nullptr;
    if (entries > 0) {
        table = palette ? palette : bitmap.indexed && bitmap.palette ? bitmap.palette.get() : nullptr;
        if (!table)
            table = SystemPalette(depth).get();
        std::uint8_t* t = dib.data() + 40;
        const std::size_t n = std::min<std::size_t>(table->entries.size(), std::size_t(entries));
        for (std::size_t i = 0; i < n; ++i) {
            t[4 * i] = table->entries[i].blue;
            t[4 * i + 1] = table->entries[i].green;
            t[4 * i + 2] = table->entries[i].red;
        }
    }
    // Indices carry over unchanged when the table is the bitmap's own palette.
    const bool sameTable = table && bitmap.indexed && bitmap.palette &&
                           (table == bitmap.palette.get() || table->entries == bitmap.palette->entries);
    std::uint8_t* pixels = dib.data() + 40 + 4 * std::size_t(entries);
    const std::size_t w = std::size_t(bitmap.width);
    std::unique_ptr<PaletteMapper> mapper;
    if (table)
        mapper = std::make_unique<PaletteMapper>(*table);
    for (int y = 0; y < bitmap.height; ++y) {
        const std::size_t src = std::size_t(y) * w;
        std::uint8_t* out = pixels + std::size_t(topDown ? y : bitmap.height - 1 - y) * std::size_t(rowBytes);
        for (std::size_t x = 0; x < w; ++x) {
            if (entries > 0) {
                int index = sameTable && bitmap.indices[src + x] < entries ? bitmap.indices[src + x]
                                                                           : (*mapper)(PixelArgb(bitmap, src + x));
                const int shift = 8 - depth * int(x % std::size_t(8 / depth) + 1);
                out[x * std::size_t(depth) / 8] |= std::uint8_t(index << shift);
                continue;
            }
            const std::uint32_t argb = PixelArgb(bitmap, src + x);
            const std::uint8_t r = std::uint8_t(argb >> 16), g = std::uint8_t(argb >> 8), b = std::uint8_t(argb);
            if (depth == 16) {
                const std::uint16_t v = std::uint16_t((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
                out[2 * x] = std::uint8_t(v);
                out[2 * x + 1] = std::uint8_t(v >> 8);
            } else if (depth == 24) {
                out[3 * x] = b;
                out[3 * x + 1] = g;
                out[3 * x + 2] = r;
            } else {
                out[4 * x] = b;
                out[4 * x + 1] = g;
                out[4 * x + 2] = r;
                out[4 * x + 3] = std::uint8_t(argb >> 24);
            }
        }
    }
    return dib;
}
