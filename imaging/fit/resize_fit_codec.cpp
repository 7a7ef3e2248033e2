#include "imaging/fit/resize_fit.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "imaging/codec/codec_image.h"
#include "imaging/codec/fit_geometry.h"
#include "imaging/own/bitmap_ex.h"
#include "imaging/own/packed_dib.h"

#include <new>
#include <string>

namespace {
// The renderer's key colour, fully transparent.
constexpr std::uint32_t kTransparentKey = 0x00FF00FFu;
} // namespace

int ResizeBmp_gdiplus(CBitmapEx& target, CodecImage& image, int W, int H, int stretch,
                      const CSaverSettings& settings, FitRect* picture)
{
    Log("ResizeBmp_gdiplus: New Size=%d,%d Stretch=%d", W, H, stretch);
    const std::uint32_t clear =
        settings.CubeTransp ? kTransparentKey : OpaqueFromColorRef(static_cast<std::uint32_t>(settings.BackColor));
    auto bitmap = std::make_unique<DeviceBitmap>();
    int status = kCodecOk;
    if (W <= 0 || H <= 0)
        status = kCodecInvalidParameter;
    else if (static_cast<std::size_t>(W) * static_cast<std::size_t>(H) * 4 > kMaxDibPixelBytes)
        status = kCodecOutOfMemory;
    else {
        try {
            bitmap->pixels.assign(static_cast<std::size_t>(W) * static_cast<std::size_t>(H), clear);
        } catch (const std::bad_alloc&) {
            status = kCodecOutOfMemory;
        }
    }
    if (status != kCodecOk) {
        Log("ResizeBmp_gdiplus: Bitmap Constructor failed ! Error=%d, no enough memory or gdi resources", status);
        return -1;
    }
    bitmap->width = W;
    bitmap->height = H;

    const CodecFit fit =
        ComputeCodecFit(image.Width(), image.Height(), W, H, settings.KeepAspectRatio != 0, stretch != 0);
    if (fit.crop == CropKind::LeftRight)
        Log("ResizeBmp_gdiplus: Image Cropped left-right %d px (%d,%d)", fit.cropPixels, fit.cropWidth,
            fit.cropHeight);
    else if (fit.crop == CropKind::TopBottom)
        Log("ResizeBmp_gdiplus: Image Cropped top-bottom %d px (%d,%d)", fit.cropPixels, fit.cropWidth,
            fit.cropHeight);

    // Translucent photo pixels come out laid over the clear colour as the
    // premultiplied drawing leaves them: black over the transparent key.
    const std::uint32_t background = settings.CubeTransp ? 0u : (clear & 0x00FFFFFFu);
    if (fit.dest.w > 0 && fit.dest.h > 0) {
        std::string reason;
        status = image.Draw(*bitmap, fit.dest, fit.source, background, reason);
        if (status != kCodecOk) {
            // A photo that cannot be decoded is not shown as an empty square.
            Log("ResizeBmp_gdiplus: Drawing failed ! Error=%d, %s", status, reason.c_str());
            return -1;
        }
    }
    if (picture)
        *picture = fit.dest;
    target.AttachBitmap(std::move(bitmap), nullptr);
    return 0;
}
