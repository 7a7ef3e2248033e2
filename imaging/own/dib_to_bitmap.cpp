#include "imaging/own/dib_to_bitmap.h"

#include "imaging/own/dib_decode.h"
#include "imaging/own/palette.h"
#include "imaging/own/quantiser.h"

#include <new>

namespace {

std::unique_ptr<DeviceBitmap> TrueColourBitmap(DecodedDib& d)
{
    auto bmp = std::make_unique<DeviceBitmap>();
    bmp->width = d.width;
    bmp->height = d.height;
    bmp->pixels = std::move(d.pixels);
    return bmp;
}

// A palette display's bitmap holding the DIB's own indices and table.
std::unique_ptr<DeviceBitmap> IndexedBitmap(std::span<const std::uint8_t> dib, DecodedDib& d,
                                            std::shared_ptr<const DevicePalette>& palette)
{
    auto bmp = std::make_unique<DeviceBitmap>();
    bmp->width = d.width;
    bmp->height = d.height;
    bmp->indexed = true;
    DibLayout l;
    DescribeDib(dib, l);
    palette = PaletteFromDibColours(dib.subspan(l.tableOffset, 4 * std::size_t(l.tableEntries)), l.tableEntries);
    if (d.bits <= 8 && palette) {
        bmp->indices = std::move(d.indices);
        bmp->palette = palette;
        return bmp;
    }
    // No table to hold the colours: they go to the nearest system colours.
    auto system = SystemPalette(DisplayDepth());
    bmp->indices.resize(d.pixels.size());
    PaletteMapper nearest(*system);
    for (std::size_t i = 0; i < d.pixels.size(); ++i)
        bmp->indices[i] = std::uint8_t(nearest(d.pixels[i]));
    bmp->palette = system;
    return bmp;
}

} // namespace

std::unique_ptr<DeviceBitmap> BitmapFromDib(std::span<const std::uint8_t> dib,
                                            std::shared_ptr<const DevicePalette>& palette)
{
    palette.reset();
    try {
        DibLayout layout;
        if (!DescribeDib(dib, layout))
            return nullptr;
        if (!IsPaletteDisplay()) {
            DecodedDib d;
            if (!DecodeDibPixels(dib, d, DECODE_PIXELS))
                return nullptr;
            return TrueColourBitmap(d);
        }
        // Palette displays: true-colour images, and 8-bit images on displays
        // of fewer colours, are reduced with error diffusion. 16- and 32-bit
        // images are reduced like 24-bit ones rather than forced onto the
        // system colours.
        const int depth = DisplayDepth();
        DecodedDib d;
        if (layout.bits > 8 || (layout.bits == 8 && depth <= 4)) {
            if (!DecodeDibPixels(dib, d, DECODE_PIXELS))
                return nullptr;
            auto pal = DisplayPaletteFor(d.pixels, d.width, d.height);
            if (auto bmp = QuantisedBitmap(d.pixels, d.width, d.height, pal)) {
                palette = std::move(pal);
                return bmp;
            }
        }
        if (!DecodeDibPixels(dib, d, layout.bits > 8 ? DECODE_PIXELS : DECODE_INDICES))
            return nullptr;
        return IndexedBitmap(dib, d, palette);
    } catch (const std::bad_alloc&) {
        palette.reset();
        return nullptr;
    }
}
