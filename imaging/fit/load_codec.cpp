// The image-codec path of the loader.
#include "imaging/fit/image_loader.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "imaging/codec/codec_image.h"
#include "imaging/fit/photo_caption.h"
#include "imaging/fit/resize_fit.h"
#include "imaging/own/bitmap_ex.h"
#include "imaging/own/packed_dib.h"
#include "res/string_table.h"

#include <new>

namespace {
void LogLoadError(int status, const std::string& name, const std::string& reason)
{
    Log("%s", FormatStringId(IDS_ERROR_LOADING, status, name.c_str()).c_str());
    if (!reason.empty())
        Log("         %s", reason.c_str());
}
} // namespace

int LoadNewBitmap_gdiplus(CBitmapEx& target, const std::string& name, const std::string&, int size,
                          const CSaverSettings& settings)
{
    int status = kCodecOk;
    std::string reason;
    std::unique_ptr<CodecImage> image = CodecImage::Open(name, settings.AutoRotate != 0, status, reason);
    if (!image) {
        LogLoadError(status, name, reason);
        return -1;
    }
    const int w = image->Width(), h = image->Height();
    if (settings.ReduceBig && (w > size || h > size)) {
        FitRect picture;
        if (ResizeBmp_gdiplus(target, *image, size, size, 1, settings, &picture) != 0)
            return -1;
        CaptionPhoto(target, picture, size, name, settings);
        return 0;
    }

    // Handed on at its own size; translucent pixels come out over black.
    auto bitmap = std::make_unique<DeviceBitmap>();
    bool allocated = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4 <= kMaxDibPixelBytes;
    if (allocated) {
        try {
            bitmap->pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
        } catch (const std::bad_alloc&) {
            allocated = false;
        }
    }
    if (!allocated) {
        Log("LoadNewBitmap_gdiplus: GetHBITMAP failed !, no enough memory or gdi resources");
        return -1;
    }
    bitmap->width = w;
    bitmap->height = h;
    status = image->Draw(*bitmap, {0, 0, w, h}, {0, 0, w, h}, 0, reason);
    if (status != kCodecOk) {
        LogLoadError(status, name, reason);
        return -1;
    }
    target.AttachBitmap(std::move(bitmap), nullptr);
    CaptionPhoto(target, {0, 0, w, h}, size, name, settings);
    return 0;
}
