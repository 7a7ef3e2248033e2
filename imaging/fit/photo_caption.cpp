#include "imaging/fit/photo_caption.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "imaging/codec/photo_exif.h"
#include "imaging/fit/caption_band.h"
#include "imaging/own/bitmap_ex.h"
#include "media/caption_folder.h"

#include <QGuiApplication>

void CaptionPhoto(CBitmapEx& target, const FitRect& picture, int face, const std::string& path,
                  const CSaverSettings& settings)
{
    const int mode = settings.Caption;
    if (!CaptionShowsDate(mode) && !CaptionShowsFolder(mode))
        return;
    if (!target.bitmap)
        return;
    const CaptionLayout layout = LayOutCaption(face, picture, target.bitmap->width, target.bitmap->height);
    if (!layout.shown) {
        Log("DrawCaption: no room for a caption (face %d px, picture %dx%d)", face, picture.w, picture.h);
        return;
    }
    CaptionParts parts;
    if (CaptionShowsDate(mode)) {
        if (const auto taken = ReadPhotoExif(path).taken)
            parts.date = LongDateText(*taken, QLocale::system());
    }
    if (CaptionShowsFolder(mode))
        parts.folder = QString::fromStdString(CaptionFolder(path, settings.ImageFolders));
    if (parts.Empty()) {
        Log("DrawCaption: nothing to write on %s", path.c_str());
        return;
    }
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        Log("DrawCaption: no fonts without a GUI application, caption left out");
        return;
    }
    const QString line = DrawCaptionBand(*target.bitmap, layout, parts);
    if (line.isEmpty())
        Log("DrawCaption: the caption of %s does not fit, left out", path.c_str());
    else
        Log("DrawCaption: \"%s\"", line.toUtf8().constData());
}
