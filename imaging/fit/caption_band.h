#pragma once
// Where a caption goes and how it is drawn: a translucent dark band along the
// bottom edge of the picture (inside any letter-box bands), white text on it,
// sized as a fixed share of the face the texture is shown on.
#include "imaging/codec/fit_geometry.h"
#include "imaging/fit/caption_text.h"

#include <functional>

struct DeviceBitmap;

// Below this face edge (a small preview) no caption is drawn.
constexpr int kMinCaptionFace = 128;

struct CaptionLayout {
    bool shown = false;
    FitRect band;                  // in bitmap pixels
    // The text is laid out on the face: a square of `face` units that the
    // whole bitmap is stretched over. Bitmap pixels per face unit:
    double scaleX = 1, scaleY = 1;
    int fontPixels = 0;            // face units
    int padding = 0;               // face units, left and right of the text
};

// `picture` is where the photo lies in a bitmap of bitmapWidth x bitmapHeight
// pixels, `face` the edge of the face the bitmap is shown on.
CaptionLayout LayOutCaption(int face, const FitRect& picture, int bitmapWidth, int bitmapHeight);

// The one line that fits `width` (in the font's units): date and folder
// joined, the folder cut at its start ("…/Rome") and the date at its end when
// they do not fit. `advance` measures a text.
QString FitCaptionLine(const CaptionParts& parts, double width, const std::function<double(const QString&)>& advance);

// Darkens the band and writes the parts on it in white, centred, with the
// application's font (Qt needs its GUI application for fonts). Pixels outside
// the band stay as they were. Answers the line written (empty: nothing drawn).
QString DrawCaptionBand(DeviceBitmap& bitmap, const CaptionLayout& layout, const CaptionParts& parts);
