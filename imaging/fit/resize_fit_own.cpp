#include "imaging/fit/resize_fit.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "imaging/codec/fit_geometry.h"
#include "imaging/own/bitmap_ex.h"
#include "imaging/own/device_bitmap.h"
#include "imaging/own/palette.h"

#include <algorithm>

namespace {
// The solid fill of the whole bitmap with a colour reference.
void FillWithColorRef(DeviceBitmap& bitmap, const DevicePalette* palette, std::uint32_t ref)
{
    const std::uint32_t argb = OpaqueFromColorRef(ref);
    if (bitmap.indexed) {
        const DevicePalette* p = palette ? palette : bitmap.palette.get();
        const auto index = static_cast<std::uint8_t>(p ? NearestPaletteIndex(*p, argb) : 0);
        std::fill(bitmap.indices.begin(), bitmap.indices.end(), index);
        return;
    }
    std::fill(bitmap.pixels.begin(), bitmap.pixels.end(), argb);
}
} // namespace

int ResizeBmp(CBitmapEx& target, CBitmapEx& source, int W, int H, int stretch, const CSaverSettings& settings,
              FitRect* picture)
{
    // On a palette display a deep photo is first mapped to the display's
    // colours, so that drawing it uses them.
    const int depth = DisplayDepth();
    if (depth <= 8 && source.dib) {
        const int bits = source.dib.block.Header().biBitCount;
        if ((depth < 8 && (bits == 8 || bits == 24)) || bits == 24) {
            if (source.DibToBitmap())
                source.BitmapToDib();
        }
    }
    Log("ResizeBmp: New Size=%d,%d Stretch=%d", W, H, stretch);
    if (target.bitmap || W <= 0 || H <= 0 || !target.CreateBlank(W, H, 0) || !target.bitmap) {
        Log("ResizeBmp: CreateBitmap failed !, no enough memory or gdi resources");
        return -1;
    }
    if (source.palette)
        target.SetPalette(source.palette);
    FillWithColorRef(*target.bitmap, target.palette.get(), static_cast<std::uint32_t>(settings.BackColor));

    const int sw = source.width, sh = source.height;
    const DrawRect whole{0, 0, W, H};
    FitRect drawn{0, 0, W, H};
    if (stretch && sh > 0) {
        const double a = static_cast<double>(sw) / sh;
        if (a >= 0.73 && a <= 1.35) {
            const DrawRect from{0, 0, sw, sh};
            source.DrawPart(*target.bitmap, whole, &from, DRAW_SCALE | DRAW_KEEP_PALETTE);
        } else {
            source.Draw(*target.bitmap, whole, DRAW_SCALE | DRAW_CENTER | DRAW_KEEP_PALETTE);
            // Where the letter-boxed photo lands, by the rule Draw follows.
            int w = W, h = H;
            FitInside(sw, sh, w, h, 0);
            drawn = {(W - w) / 2, (H - h) / 2, w, h};
        }
    } else {
        source.Draw(*target.bitmap, whole, DRAW_CENTER | DRAW_KEEP_PALETTE);
        drawn = {std::max(0, (W - sw) / 2), std::max(0, (H - sh) / 2), std::min(W, sw), std::min(H, sh)};
    }
    if (picture)
        *picture = drawn;
    return 0;
}
