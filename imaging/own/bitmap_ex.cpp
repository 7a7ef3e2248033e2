#include "imaging/own/bitmap_ex.h"

#include "app/log.h"
#include "imaging/own/bitmap_resources.h"
#include "imaging/own/dib_from_bitmap.h"
#include "imaging/own/dib_to_bitmap.h"
#include "imaging/own/palette.h"

#include <algorithm>

namespace {

std::int64_t AbsHeight(const BitmapInfoHeader& h) { return h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight; }

// Bytes of the colour table area a DIB's header announces, within the block.
std::span<const std::uint8_t> TableBytes(const PackedDib& dib)
{
    const BitmapInfoHeader h = dib.Header();
    if (!dib || dib.size() < 40 || h.biCompression == BI_BITFIELDS_ || h.biSize < 40 || h.biSize > dib.size())
        return {};
    const std::size_t start = h.biSize;
    const std::size_t bytes = std::min<std::uint64_t>(4 * std::uint64_t(h.biClrUsed), dib.size() - start);
    return dib.bytes().subspan(start, bytes);
}

} // namespace

void CompleteDibColourCount(PackedDib& dib)
{
    if (!dib || dib.size() < sizeof(BitmapInfoHeader))
        return;
    BitmapInfoHeader h = dib.Header();
    if (h.biClrUsed != 0 || h.biBitCount == 0 || h.biBitCount > 8 || h.biWidth <= 0)
        return;
    const std::uint64_t n = h.biBitCount == 1 ? 2 : h.biBitCount <= 4 ? 16 : 256;
    const std::uint64_t pixels = std::uint64_t(DibRowBytes(h.biWidth, h.biBitCount)) * std::uint64_t(AbsHeight(h));
    const std::uint64_t size = dib.size();
    if (h.biSize + pixels < size && size <= h.biSize + pixels + 4 * n) {
        h.biClrUsed = h.biClrImportant = std::uint32_t(n);
        dib.SetHeader(h);
    }
}

std::shared_ptr<const DevicePalette> PaletteOfDib(const PackedDib& dib, int count)
{
    return PaletteFromDibColours(TableBytes(dib), count);
}

void CBitmapEx::Clear()
{
    bitmap.reset();
    palette.reset();
    dib.block.Reset();
    width = height = 0;
}

void CBitmapEx::UpdateSize()
{
    if (bitmap) {
        width = bitmap->width;
        height = bitmap->height;
    } else if (dib && dib.block.size() >= sizeof(BitmapInfoHeader)) {
        const BitmapInfoHeader h = dib.block.Header();
        width = h.biWidth;
        height = int(std::min<std::int64_t>(AbsHeight(h), 0x7FFFFFFF));
    } else {
        width = height = 0;
    }
}

void CBitmapEx::AttachBitmap(std::unique_ptr<DeviceBitmap> bmp, std::shared_ptr<const DevicePalette> pal)
{
    Clear();
    bitmap = std::move(bmp);
    if (bitmap)
        palette = std::move(pal);
    UpdateSize();
}

void CBitmapEx::SetDib(PackedDib block)
{
    Clear();
    dib.block = std::move(block);
    if (dib) {
        CompleteDibColourCount(dib.block);
        palette = PaletteOfDib(dib.block, DibColorCount(dib.block.Header()));
    }
    UpdateSize();
}

int CBitmapEx::Detach(PackedDib* dibOut, std::unique_ptr<DeviceBitmap>* bitmapOut,
                      std::shared_ptr<const DevicePalette>* paletteOut)
{
    if (bitmap) {
        if (bitmapOut)
            *bitmapOut = std::move(bitmap);
        bitmap.reset();
        if (paletteOut)
            *paletteOut = std::move(palette);
        palette.reset();
        UpdateSize();
        return 1;
    }
    if (dib) {
        if (dibOut)
            *dibOut = std::move(dib.block);
        dib.block.Reset();
        palette.reset();
        UpdateSize();
        return 2;
    }
    return 0;
}

int CBitmapEx::DibToBitmap()
{
    if (!dib)
        return 0;
    std::shared_ptr<const DevicePalette> pal;
    auto bmp = BitmapFromDib(dib.block.bytes(), pal);
    if (!bmp) {
        const BitmapInfoHeader h = dib.block.Header();
        Log("CBitmapEx::DibToBitmap: DIB refused (%dx%d, %d bits, compression %u, %u bytes)", h.biWidth, h.biHeight,
            int(h.biBitCount), h.biCompression, unsigned(dib.block.size()));
        return 0;
    }
    dib.block.Reset();
    bitmap = std::move(bmp);
    palette = std::move(pal);
    UpdateSize();
    return 1;
}

int CBitmapEx::BitmapToDib()
{
    if (!bitmap)
        return 0;
    PackedDib block = DibFromBitmap(*bitmap, palette.get(), 0, false);
    if (!block)
        return 0;
    CompleteDibColourCount(block);
    dib.block = std::move(block);
    bitmap.reset();
    palette = PaletteOfDib(dib.block, DibColorCount(dib.block.Header()));
    UpdateSize();
    return 1;
}

int CBitmapEx::CreateBlank(int w, int h, int paletteKind)
{
    if (bitmap || w <= 0 || h <= 0)
        return 0;
    auto bmp = CreateCompatibleBitmap(w, h);
    if (!bmp)
        return 0;
    if (bmp->indexed)
        std::fill(bmp->indices.begin(), bmp->indices.end(),
                  std::uint8_t(NearestPaletteIndex(*bmp->palette, 0xFFFFFFFFu)));
    else
        std::fill(bmp->pixels.begin(), bmp->pixels.end(), 0xFFFFFFFFu);
    // Any kind but -1 gives the display's own colours; true-colour displays have no palette.
    std::shared_ptr<const DevicePalette> pal = paletteKind != -1 && bmp->indexed ? bmp->palette : nullptr;
    AttachBitmap(std::move(bmp), std::move(pal));
    return 1;
}

void CBitmapEx::SetPalette(std::shared_ptr<const DevicePalette> pal)
{
    palette.reset();
    if (pal)
        palette = std::make_shared<const DevicePalette>(*pal);
    // A palette bitmap's indices now name this palette's colours, as drawing
    // into it with the palette selected would make them.
    if (palette && bitmap && bitmap->indexed)
        bitmap->palette = palette;
}

int CBitmapEx::LoadFromResource(int id, bool mapSystemColours)
{
    PackedDib block = LoadBitmapResource(id);
    if (!block)
        return 0;
    // This platform has no user colour scheme: the standard system colours are
    // the current ones, so mapping them leaves the table as it is.
    (void)mapSystemColours;
    Clear();
    dib.block = std::move(block);
    CompleteDibColourCount(dib.block);
    const BitmapInfoHeader h = dib.block.Header();
    std::shared_ptr<const DevicePalette> pal;
    auto bmp = BitmapFromDib(dib.block.bytes(), pal);
    if (!bmp) {
        Log("CBitmapEx::LoadFromResource: bitmap %d refused", id);
        UpdateSize();
        return 0;
    }
    if (h.biBitCount <= 8 && h.biCompression != BI_BITFIELDS_)
        pal = PaletteOfDib(dib.block, 1 << h.biBitCount);
    bitmap = std::move(bmp);
    palette = std::move(pal);
    UpdateSize();
    return 1;
}
