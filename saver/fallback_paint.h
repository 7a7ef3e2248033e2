#pragma once
// What a show window shows when no renderer draws: the built-in preview
// picture in a preview, the no-display message full screen.
class QPainter;
class QRect;
class QImage;

// The resource id of the built-in preview picture.
inline constexpr int kPreviewPictureId = 130;

// The built-in preview picture, 140 x 53 pixels.
QImage PreviewPicture();
// Registers it, as an 8-bit bitmap, among the built-in bitmaps (once per process).
void RegisterPreviewPicture();
// The built-in bitmap drawn centred at its own size; shrunk to fit a smaller
// window, never enlarged.
void PaintPreviewPicture(QPainter& painter, const QRect& area);
// String 117 in bold 18-pixel white text on black, a third of the way down.
void PaintNoDisplayMessage(QPainter& painter, const QRect& area);
