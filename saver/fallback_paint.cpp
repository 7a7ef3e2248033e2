#include "saver/fallback_paint.h"

#include "imaging/own/bitmap_ex.h"
#include "imaging/own/bitmap_resources.h"
#include "res/string_table.h"

#include <QBuffer>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygon>
#include <QRect>

QImage PreviewPicture()
{
    QImage image(140, 53, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 53);
    sky.setColorAt(0, QColor(16, 32, 72));
    sky.setColorAt(1, QColor(4, 8, 24));
    p.fillRect(image.rect(), sky);
    p.setRenderHint(QPainter::Antialiasing);
    // A small cube: top, left and right faces.
    const QPoint top(26, 8), left(10, 17), right(42, 17), centre(26, 26), bottomL(10, 36), bottomR(42, 36),
        bottom(26, 45);
    p.setPen(QPen(QColor(230, 230, 240), 1));
    p.setBrush(QColor(250, 200, 60));
    p.drawPolygon(QPolygon({top, right, centre, left}));
    p.setBrush(QColor(60, 160, 220));
    p.drawPolygon(QPolygon({left, centre, bottom, bottomL}));
    p.setBrush(QColor(220, 80, 90));
    p.drawPolygon(QPolygon({centre, right, bottomR, bottom}));
    QFont font("Sans");
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(240, 240, 250));
    p.drawText(QRect(50, 0, 88, 53), Qt::AlignVCenter | Qt::AlignLeft, QString::fromUtf8(LoadStringId(IDS_APP_NAME)));
    return image;
}

void RegisterPreviewPicture()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    PreviewPicture().convertToFormat(QImage::Format_Indexed8).save(&buffer, "BMP");
    RegisterBitmapResource(kPreviewPictureId, std::span(reinterpret_cast<const std::uint8_t*>(file.constData()),
                                                        static_cast<std::size_t>(file.size())));
}

void PaintPreviewPicture(QPainter& painter, const QRect& area)
{
    CBitmapEx picture;
    std::unique_ptr<DeviceBitmap> target = CreateCompatibleBitmap(area.width(), area.height());
    if (!target || target->indexed || !picture.LoadFromResource(kPreviewPictureId, false))
        return;
    if (!picture.Draw(*target, DrawRect{0, 0, area.width(), area.height()}, DRAW_CENTER | DRAW_SHRINK_ONLY))
        return;
    QImage image(reinterpret_cast<const uchar*>(target->pixels.data()), target->width, target->height,
                 QImage::Format_RGB32);
    painter.drawImage(area.topLeft(), image);
}

void PaintNoDisplayMessage(QPainter& painter, const QRect& area)
{
    QFont font("Arial");
    font.setPixelSize(18);
    font.setWeight(QFont::Bold);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.setBackground(Qt::black);
    int h = QFontMetrics(font).height();
    QRect text(area.left(), area.top() + (area.height() - h) / 3, area.width(), area.height() - (area.height() - h) / 3);
    painter.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     QString::fromUtf8(LoadStringId(IDS_NO_DIRECT3D)));
}
