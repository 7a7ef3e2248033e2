#include "imaging/fit/caption_band.h"

#include "imaging/own/device_bitmap.h"
#include "imaging/own/palette.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
// The text's height is this share of the face: 48 pixels on the 960-pixel
// texture of a 1920 x 1080 screen, which the default cube shows at about a
// third of that size when it faces the viewer, and 6 on the smallest face
// that has a caption.
constexpr double kFontShareOfFace = 1.0 / 20;
constexpr double kBandPerFont = 1.6;
constexpr double kPaddingPerFont = 0.5;
// Smaller text is not readable even on a face seen up close.
constexpr int kMinFontPixels = 6;
// How much of the picture's light the band takes away.
constexpr int kBandAlpha = 140;

bool CutsSurrogatePair(const QString& text, qsizetype at)
{
    return at > 0 && at < text.size() && text[at].isLowSurrogate();
}
} // namespace

CaptionLayout LayOutCaption(int face, const FitRect& picture, int bitmapWidth, int bitmapHeight)
{
    CaptionLayout layout;
    if (face < kMinCaptionFace || picture.w <= 0 || picture.h <= 0 || bitmapWidth <= 0 || bitmapHeight <= 0 ||
        picture.x < 0 || picture.y < 0 || picture.x + picture.w > bitmapWidth || picture.y + picture.h > bitmapHeight)
        return layout;
    layout.scaleX = double(bitmapWidth) / face;
    layout.scaleY = double(bitmapHeight) / face;
    const double pictureWidth = picture.w / layout.scaleX, pictureHeight = picture.h / layout.scaleY;

    int font = int(std::lround(face * kFontShareOfFace));
    double band = std::round(font * kBandPerFont);
    // A flat panorama keeps at least half of itself clear of the band.
    if (band > pictureHeight / 2) {
        band = std::floor(pictureHeight / 2);
        font = int(band / kBandPerFont);
    }
    const int padding = int(std::lround(font * kPaddingPerFont));
    if (font < kMinFontPixels || pictureWidth < 2 * padding + 3 * font)
        return layout;

    const int bandPixels = std::clamp(int(std::lround(band * layout.scaleY)), 1, picture.h);
    layout.shown = true;
    layout.band = {picture.x, picture.y + picture.h - bandPixels, picture.w, bandPixels};
    layout.fontPixels = font;
    layout.padding = padding;
    return layout;
}

QString FitCaptionLine(const CaptionParts& parts, double width, const std::function<double(const QString&)>& advance)
{
    const QString ellipsis = QStringLiteral("\u2026");
    auto cutStart = [&](const QString& text, double room) {
        if (advance(text) <= room)
            return text;
        for (qsizetype keep = text.size() - 1; keep > 0; --keep) {
            if (CutsSurrogatePair(text, text.size() - keep))
                continue;
            QString cut = ellipsis + text.right(keep).trimmed();
            if (advance(cut) <= room)
                return cut;
        }
        return QString();
    };
    auto cutEnd = [&](const QString& text, double room) {
        if (advance(text) <= room)
            return text;
        for (qsizetype keep = text.size() - 1; keep > 0; --keep) {
            if (CutsSurrogatePair(text, keep))
                continue;
            QString cut = text.left(keep).trimmed() + ellipsis;
            if (advance(cut) <= room)
                return cut;
        }
        return QString();
    };
    if (parts.folder.isEmpty())
        return cutEnd(parts.date, width);
    if (parts.date.isEmpty())
        return cutStart(parts.folder, width);
    const QString both = parts.date + kCaptionSeparator + parts.folder;
    if (advance(both) <= width)
        return both;
    const QString lead = parts.date + kCaptionSeparator;
    const QString folder = cutStart(parts.folder, width - advance(lead));
    // A folder cut to a letter or two says nothing; then the date alone.
    if (folder.size() >= 4)
        return lead + folder;
    return cutEnd(parts.date, width);
}

QString DrawCaptionBand(DeviceBitmap& bitmap, const CaptionLayout& layout, const CaptionParts& parts)
{
    const FitRect& b = layout.band;
    if (!layout.shown || parts.Empty() || b.w <= 0 || b.h <= 0 || b.x < 0 || b.y < 0 || b.x + b.w > bitmap.width ||
        b.y + b.h > bitmap.height || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {};
    const std::size_t area = std::size_t(bitmap.width) * std::size_t(bitmap.height);
    if (bitmap.indexed ? bitmap.indices.size() < area || !bitmap.palette : bitmap.pixels.size() < area)
        return {};

    QFont font = QGuiApplication::font();
    font.setPixelSize(layout.fontPixels);
    font.setWeight(QFont::DemiBold);
    const QFontMetricsF metrics(font);
    const double width = b.w / layout.scaleX - 2.0 * layout.padding;
    const QString line = FitCaptionLine(parts, width, [&](const QString& t) { return metrics.horizontalAdvance(t); });
    if (line.isEmpty())
        return {};

    // True colour: the pixels themselves; a palette bitmap: the band in true
    // colour, mapped back to the palette afterwards.
    QImage band;
    QImage whole;
    QImage* canvas = nullptr;
    QPoint origin(b.x, b.y);
    if (!bitmap.indexed) {
        whole = QImage(reinterpret_cast<uchar*>(bitmap.pixels.data()), bitmap.width, bitmap.height,
                       qsizetype(bitmap.width) * 4, QImage::Format_RGB32);
        canvas = &whole;
    } else {
        band = QImage(b.w, b.h, QImage::Format_RGB32);
        if (band.isNull())
            return {};
        const auto& entries = bitmap.palette->entries;
        for (int y = 0; y < b.h; ++y) {
            auto* row = reinterpret_cast<QRgb*>(band.scanLine(y));
            const std::uint8_t* in = bitmap.indices.data() + std::size_t(b.y + y) * std::size_t(bitmap.width) + b.x;
            for (int x = 0; x < b.w; ++x) {
                const PaletteEntry e = in[x] < entries.size() ? entries[in[x]] : PaletteEntry{};
                row[x] = qRgb(e.red, e.green, e.blue);
            }
        }
        canvas = &band;
        origin = {0, 0};
    }
    {
        QPainter painter(canvas);
        const QRect area(origin, QSize(b.w, b.h));
        painter.setClipRect(area);
        painter.fillRect(area, QColor(0, 0, 0, kBandAlpha));
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.translate(origin);
        painter.scale(layout.scaleX, layout.scaleY);
        painter.setFont(font);
        painter.setPen(Qt::white);
        const QRectF text(layout.padding, 0, width, b.h / layout.scaleY);
        painter.drawText(text, Qt::AlignCenter | Qt::TextSingleLine, line);
    }
    if (bitmap.indexed) {
        PaletteMapper mapper(*bitmap.palette);
        for (int y = 0; y < b.h; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(band.constScanLine(y));
            std::uint8_t* out = bitmap.indices.data() + std::size_t(b.y + y) * std::size_t(bitmap.width) + b.x;
            for (int x = 0; x < b.w; ++x)
                out[x] = static_cast<std::uint8_t>(mapper(0xFF000000u | row[x]));
        }
    }
    return line;
}
