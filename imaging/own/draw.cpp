#include "imaging/own/draw.h"

#include "imaging/own/bitmap_ex.h"
#include "imaging/own/dib_decode.h"
#include "imaging/own/palette.h"

#include <algorithm>
#include <cmath>

namespace {

// What is drawn: the device bitmap, or the DIB decoded for the occasion.
struct Source {
    int width = 0, height = 0;
    const std::uint32_t* pixels = nullptr;
    const std::uint8_t* indices = nullptr;
    const DevicePalette* palette = nullptr; // colours of `indices`
    bool deviceBitmap = false;
    DecodedDib decoded;                     // owns the DIB's pixels

    std::uint32_t Argb(int x, int y) const
    {
        const std::size_t at = std::size_t(y) * std::size_t(width) + std::size_t(x);
        if (pixels)
            return pixels[at];
        const std::uint8_t i = indices[at];
        return palette && i < palette->entries.size() ? EntryArgb(palette->entries[i]) : 0xFF000000u;
    }
};

bool OpenSource(const CBitmapEx& record, Source& s)
{
    if (const DeviceBitmap* b = record.bitmap.get()) {
        const std::size_t count = std::size_t(std::max(b->width, 0)) * std::size_t(std::max(b->height, 0));
        if (count == 0 || (b->indexed ? b->indices.size() : b->pixels.size()) < count)
            return false;
        s.width = b->width;
        s.height = b->height;
        s.deviceBitmap = true;
        if (b->indexed) {
            s.indices = b->indices.data();
            s.palette = b->palette.get();
        } else {
            s.pixels = b->pixels.data();
        }
        return true;
    }
    if (!record.dib || !DecodeDibPixels(record.dib.block.bytes(), s.decoded, DECODE_PIXELS))
        return false;
    s.width = s.decoded.width;
    s.height = s.decoded.height;
    s.pixels = s.decoded.pixels.data();
    return true;
}

bool UsableTarget(const DeviceBitmap& t)
{
    if (t.width <= 0 || t.height <= 0)
        return false;
    const std::size_t count = std::size_t(t.width) * std::size_t(t.height);
    return t.indexed ? t.indices.size() >= count : t.pixels.size() >= count;
}

// Puts colours into the target: direct on true colour, as the nearest entry
// of the target's palette on a palette display.
class Writer {
public:
    Writer(DeviceBitmap& t, const Source& s) : t_(t), s_(s)
    {
        sameIndices_ = t.indexed && s.indices && s.palette && t.palette &&
                       (s.palette == t.palette.get() || s.palette->entries == t.palette->entries);
        if (t.indexed)
            mapper_ = std::make_unique<PaletteMapper>(*t.palette);
    }
    void CopyPixel(int tx, int ty, int sx, int sy)
    {
        const std::size_t at = std::size_t(ty) * std::size_t(t_.width) + std::size_t(tx);
        if (sameIndices_)
            t_.indices[at] = s_.indices[std::size_t(sy) * std::size_t(s_.width) + std::size_t(sx)];
        else
            Put(at, s_.Argb(sx, sy));
    }
    void PutColour(int tx, int ty, std::uint32_t argb)
    {
        Put(std::size_t(ty) * std::size_t(t_.width) + std::size_t(tx), argb);
    }

private:
    void Put(std::size_t at, std::uint32_t argb)
    {
        if (!t_.indexed) {
            t_.pixels[at] = argb;
            return;
        }
        t_.indices[at] = std::uint8_t((*mapper_)(argb));
    }

    DeviceBitmap& t_;
    const Source& s_;
    bool sameIndices_ = false;
    std::unique_ptr<PaletteMapper> mapper_;
};

// A palette display shows the image's palette while it is drawn; a background
// palette only maps onto the colours already there.
void RealisePalette(const CBitmapEx& record, DeviceBitmap& target, int flags)
{
    if (!target.indexed)
        return;
    if (record.palette && !(flags & DRAW_KEEP_PALETTE) && (!(flags & DRAW_BACKGROUND_PALETTE) || !target.palette))
        target.palette = record.palette;
    if (!target.palette)
        target.palette = SystemPalette(DisplayDepth());
}

// Copies the sw x sh block at (sx, sy) of the source to (dx, dy), everything clipped.
void Copy(const Source& s, int sx, int sy, int w, int h, DeviceBitmap& t, int dx, int dy)
{
    Writer out(t, s);
    const std::int64_t x0 = std::max<std::int64_t>({0, dx, std::int64_t(dx) - sx});
    const std::int64_t y0 = std::max<std::int64_t>({0, dy, std::int64_t(dy) - sy});
    const std::int64_t x1 = std::min<std::int64_t>({t.width, std::int64_t(dx) + w, std::int64_t(dx) - sx + s.width});
    const std::int64_t y1 = std::min<std::int64_t>({t.height, std::int64_t(dy) + h, std::int64_t(dy) - sy + s.height});
    for (std::int64_t y = y0; y < y1; ++y)
        for (std::int64_t x = x0; x < x1; ++x)
            out.CopyPixel(int(x), int(y), int(x - dx + sx), int(y - dy + sy));
}

// Stretches the source block onto the destination block: colour-on-colour
// takes the one source pixel that falls on each target pixel (rows and columns
// are dropped or repeated); halftone averages the source pixels under it.
void Stretch(const Source& s, int sx, int sy, int sw, int sh, DeviceBitmap& t, int dx, int dy, int dw, int dh,
             bool halftone)
{
    if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
        return;
    Writer out(t, s);
    const std::int64_t x0 = std::max<std::int64_t>(0, dx), x1 = std::min<std::int64_t>(t.width, std::int64_t(dx) + dw);
    const std::int64_t y0 = std::max<std::int64_t>(0, dy), y1 = std::min<std::int64_t>(t.height, std::int64_t(dy) + dh);
    auto inside = [&](std::int64_t x, std::int64_t y) { return x >= 0 && y >= 0 && x < s.width && y < s.height; };
    for (std::int64_t y = y0; y < y1; ++y) {
        const std::int64_t j = y - dy;
        const std::int64_t ty = sy + j * sh / dh;
        for (std::int64_t x = x0; x < x1; ++x) {
            const std::int64_t i = x - dx;
            const std::int64_t tx = sx + i * sw / dw;
            if (!halftone) {
                if (inside(tx, ty))
                    out.CopyPixel(int(x), int(y), int(tx), int(ty));
                continue;
            }
            // The source area under this target pixel: at least one pixel.
            const std::int64_t ax0 = tx, ax1 = std::max(ax0 + 1, sx + ((i + 1) * sw + dw - 1) / dw);
            const std::int64_t ay0 = ty, ay1 = std::max(ay0 + 1, sy + ((j + 1) * sh + dh - 1) / dh);
            std::uint64_t sum[4] = {0, 0, 0, 0};
            std::uint64_t n = 0;
            for (std::int64_t v = ay0; v < ay1; ++v) {
                for (std::int64_t u = ax0; u < ax1; ++u) {
                    if (!inside(u, v))
                        continue;
                    const std::uint32_t p = s.Argb(int(u), int(v));
                    for (int c = 0; c < 4; ++c)
                        sum[c] += p >> (8 * c) & 0xFF;
                    ++n;
                }
            }
            if (n == 0)
                continue;
            std::uint32_t p = 0;
            for (int c = 0; c < 4; ++c)
                p |= std::uint32_t((sum[c] + n / 2) / n) << (8 * c);
            out.PutColour(int(x), int(y), p);
        }
    }
}

} // namespace

int CBitmapEx::Draw(DeviceBitmap& target, const DrawRect& rect, int flags) const
{
    Source s;
    if (!UsableTarget(target) || !OpenSource(*this, s))
        return 0;
    RealisePalette(*this, target, flags);
    const int iw = s.width, ih = s.height;
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    int x = rect.left, y = rect.top;
    if (!(flags & DRAW_SCALE) || ((flags & DRAW_SHRINK_ONLY) && w >= iw && h >= ih)) {
        if (flags & DRAW_CENTER) {
            if (iw < w)
                x += (w - iw) / 2;
            if (ih < h)
                y += (h - ih) / 2;
        }
        // A larger image is cut at the rectangle.
        Copy(s, 0, 0, std::min(w, iw), std::min(h, ih), target, x, y);
        return 1;
    }
    int dw = w, dh = h;
    if ((dw != iw || dh != ih) && iw != 0 && w != 0 && ih != 0 && h != 0) {
        const double e = double(ih) / double(iw);
        if (double(dh) / double(dw) > e)
            dh = int(std::floor(dw * e + 0.5));
        else
            dw = int(std::floor((1.0 / e) * dh + 0.5));
    }
    if (flags & DRAW_CENTER) {
        x += (w - dw) / 2;
        y += (h - dh) / 2;
    }
    Stretch(s, 0, 0, iw, ih, target, x, y, dw, dh, (flags & DRAW_HALFTONE) && s.deviceBitmap);
    return 1;
}

int CBitmapEx::DrawPart(DeviceBitmap& target, const DrawRect& dest, const DrawRect* source, int flags) const
{
    Source s;
    if (!UsableTarget(target) || !OpenSource(*this, s))
        return 0;
    RealisePalette(*this, target, flags);
    const DrawRect src = source ? *source : DrawRect{0, 0, s.width, s.height};
    const int sw = src.right - src.left, sh = src.bottom - src.top;
    const int w = dest.right - dest.left, h = dest.bottom - dest.top;
    int x = dest.left, y = dest.top;
    if (!(flags & DRAW_SCALE) || ((flags & DRAW_SHRINK_ONLY) && w >= sw && h >= sh)) {
        if (flags & DRAW_CENTER) {
            if (sw < w)
                x += (w - sw) / 2;
            if (sh < h)
                y += (h - sh) / 2;
        }
        Copy(s, src.left, src.top, std::min(w, sw), std::min(h, sh), target, x, y);
        return 1;
    }
    Stretch(s, src.left, src.top, sw, sh, target, x, y, w, h, (flags & DRAW_HALFTONE) && s.deviceBitmap);
    return 1;
}
