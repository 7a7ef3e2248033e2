// The own-reader path of the loader.
#include "imaging/fit/image_loader.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "imaging/fit/photo_caption.h"
#include "imaging/fit/resize_fit.h"
#include "imaging/own/bitmap_ex.h"
#include "imaging/own/image_read.h"
#include "res/string_table.h"

#include <strings.h>

int LoadNewBitmap(CBitmapEx& target, const std::string& name, const std::string& extension, int size,
                  const CSaverSettings& settings)
{
    ImageReadRecord record;
    int (*reader)(const char*, ImageReadRecord&) = nullptr;
    const char* ext = extension.c_str();
    if (strcasecmp(ext, "jpg") == 0 || strcasecmp(ext, "jpeg") == 0)
        reader = JpegRead;
    else if (strcasecmp(ext, "bmp") == 0)
        reader = DibRead;
    else if (strcasecmp(ext, "gif") == 0)
        reader = GifRead;
    if (!reader) {
        Log("%s", FormatStringId(IDS_UNEXPECTED_EXTENSION, name.c_str(), ext).c_str());
        return -1;
    }
    const int code = reader(name.c_str(), record);
    if (code != 0) {
        Log("%s", FormatStringId(IDS_ERROR_LOADING, code, name.c_str()).c_str());
        return -1;
    }
    CBitmapEx decoded;
    decoded.SetDib(std::move(record.dib));
    Log("LoadNewBitmap: Bitmap Size=%d,%d", decoded.width, decoded.height);

    int r = 0;
    FitRect picture{0, 0, decoded.width, decoded.height};
    if (settings.ReduceBig && (decoded.width > size || decoded.height > size)) {
        r = ResizeBmp(target, decoded, size, size, 1, settings, &picture);
    } else {
        decoded.DibToBitmap();
        PackedDib dib;
        std::unique_ptr<DeviceBitmap> bitmap;
        std::shared_ptr<const DevicePalette> palette;
        decoded.Detach(&dib, &bitmap, &palette);
        if (bitmap)
            target.AttachBitmap(std::move(bitmap), std::move(palette));
        else
            r = -1;
    }
    if (r != 0) {
        Log("%s", FormatStringId(IDS_CANT_RESIZE, name.c_str()).c_str());
        return -1;
    }
    CaptionPhoto(target, picture, size, name, settings);
    return 0;
}
