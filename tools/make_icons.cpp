// Draws the program's own icons: 100 (the program: a photo cube), 155 (OK),
// 156 (Cancel) and 157 (Help). Writes res/icons/<id>.png at 32 pixels and
// <id>@2x.png at 64, and the program icon also as 100@8x.png at 256 for the
// desktop's icon theme. Deterministic; run after changing a drawing:
//   build/tessaview-make-icons res/icons
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>

#include <cstdio>
#include <functional>
#include <vector>

namespace {
// Every drawing works on a 64 x 64 canvas and is scaled to the image.
using Drawing = std::function<void(QPainter&)>;

void DiscWithRim(QPainter& p, QColor light, QColor dark)
{
    QLinearGradient g(0, 4, 0, 60);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    p.setPen(QPen(dark.darker(130), 2.5));
    p.setBrush(g);
    p.drawEllipse(QRectF(4, 4, 56, 56));
    // A soft gloss on the upper half.
    QLinearGradient gloss(0, 6, 0, 34);
    gloss.setColorAt(0, QColor(255, 255, 255, 120));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawEllipse(QRectF(12, 7, 40, 26));
}

void ProgramIcon(QPainter& p)
{
    // A cube seen from above-right: top, left and right faces.
    const QPointF top(32, 5), left(7, 18), right(57, 18), centre(32, 31);
    const QPointF leftBottom(7, 46), rightBottom(57, 46), bottom(32, 59);
    const QPolygonF topFace({top, right, centre, left});
    const QPolygonF leftFace({left, centre, bottom, leftBottom});
    const QPolygonF rightFace({centre, right, rightBottom, bottom});
    p.setPen(QPen(QColor(40, 44, 60), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(158, 154, 222));
    p.drawPolygon(topFace);
    p.setBrush(QColor(232, 200, 123));
    p.drawPolygon(leftFace);

    // The right face holds a small photo: sky, sun and a hill, in the face's slant.
    QLinearGradient sky(centre, rightBottom);
    sky.setColorAt(0, QColor(120, 180, 240));
    sky.setColorAt(1, QColor(190, 225, 250));
    p.setBrush(sky);
    p.drawPolygon(rightFace);
    p.save();
    QPainterPath clip;
    clip.addPolygon(rightFace);
    p.setClipPath(clip);
    // Map a unit square onto the right face.
    QTransform face(right.x() - centre.x(), right.y() - centre.y(), bottom.x() - centre.x(),
                    bottom.y() - centre.y(), centre.x(), centre.y());
    p.setTransform(face, true);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 70));
    p.drawEllipse(QRectF(0.58, 0.14, 0.24, 0.24));
    QPainterPath hill;
    hill.moveTo(0, 0.75);
    hill.cubicTo(0.3, 0.45, 0.55, 0.55, 1.0, 0.62);
    hill.lineTo(1.0, 1.0);
    hill.lineTo(0, 1.0);
    hill.closeSubpath();
    p.setBrush(QColor(70, 150, 80));
    p.drawPath(hill);
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 44, 60), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolygon(rightFace);
}

void OkIcon(QPainter& p)
{
    DiscWithRim(p, QColor(120, 210, 110), QColor(40, 140, 50));
    QPainterPath tick;
    tick.moveTo(18, 33);
    tick.lineTo(28, 43);
    tick.lineTo(46, 22);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
}

void CancelIcon(QPainter& p)
{
    DiscWithRim(p, QColor(240, 110, 100), QColor(175, 35, 35));
    p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(22, 22), QPointF(42, 42));
    p.drawLine(QPointF(42, 22), QPointF(22, 42));
}

void HelpIcon(QPainter& p)
{
    DiscWithRim(p, QColor(110, 160, 240), QColor(35, 80, 180));
    QPainterPath hook;
    hook.moveTo(23, 25);
    hook.arcTo(QRectF(23, 14, 18, 18), 180, -250);
    hook.cubicTo(QPointF(36, 31), QPointF(32, 33), QPointF(32, 38));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(28.5, 43, 7, 7));
}

// The program icon also comes at 256 pixels, the largest size desktops ask of
// an application icon; the buttons' icons never show larger than 64.
bool Write(const QString& folder, int id, const Drawing& draw)
{
    const std::vector<int> scales = id == 100 ? std::vector<int>{1, 2, 8} : std::vector<int>{1, 2};
    for (int scale : scales) {
        const int size = 32 * scale;
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.scale(size / 64.0, size / 64.0);
        draw(p);
        p.end();
        const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
        const QString name = QStringLiteral("%1/%2%3.png").arg(folder).arg(id).arg(suffix);
        if (!image.save(name, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(name));
            return false;
        }
    }
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("res/icons");
    QDir().mkpath(folder);
    bool ok = Write(folder, 100, ProgramIcon) && Write(folder, 155, OkIcon) && Write(folder, 156, CancelIcon) &&
              Write(folder, 157, HelpIcon);
    return ok ? 0 : 1;
}
