// Draws the pictures beside the Advanced Options sliders (icons 207 to 215)
// into res/icons/<id>.png and <id>@2x.png. Run it again after changing a
// drawing: draw-slider-icons <res/icons folder>.
//
//   207, 208  spin about X: a cube, the X axis, an arrow round it one way / the other
//   209, 210  spin about Y, the same
//   211, 212  spin about Z (towards the viewer), the same
//   213, 214, 215  movement along X, Y and Z: a cube and a double arrow along the axis
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <cstdio>

namespace {
enum class Axis { X, Y, Z };

const QColor kFront(70, 130, 200);
const QColor kTop(120, 175, 235);
const QColor kSide(40, 90, 155);
const QColor kEdge(20, 45, 80);
const QColor kArrow(225, 95, 20);
const QColor kAxis(90, 90, 90);
const QColor kLetter(30, 30, 30);

// A small cube seen from above right, centred on (16, 16), in a 32-unit box.
void DrawCube(QPainter& p, double edge)
{
    const double d = edge * 0.35; // depth offset
    const QPointF o(16 - (edge + d) / 2, 16 - (edge - d) / 2);
    QPolygonF front{o, o + QPointF(edge, 0), o + QPointF(edge, edge), o + QPointF(0, edge)};
    QPolygonF top{o, o + QPointF(d, -d), o + QPointF(edge + d, -d), o + QPointF(edge, 0)};
    QPolygonF side{o + QPointF(edge, 0), o + QPointF(edge + d, -d), o + QPointF(edge + d, edge - d),
                   o + QPointF(edge, edge)};
    p.setPen(QPen(kEdge, 0.8));
    p.setBrush(kTop);
    p.drawPolygon(top);
    p.setBrush(kSide);
    p.drawPolygon(side);
    p.setBrush(kFront);
    p.drawPolygon(front);
}

void DrawArrowHead(QPainter& p, QPointF tip, double angleRad, double size)
{
    const QPointF back(-std::cos(angleRad) * size, -std::sin(angleRad) * size);
    const QPointF across(-std::sin(angleRad) * size * 0.55, std::cos(angleRad) * size * 0.55);
    p.setPen(Qt::NoPen);
    p.setBrush(kArrow);
    p.drawPolygon(QPolygonF{tip, tip + back + across, tip + back - across});
}

void DrawLetter(QPainter& p, Axis axis, QPointF topLeft = QPointF(0, 22))
{
    QFont font;
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kLetter);
    const char* letter = axis == Axis::X ? "X" : axis == Axis::Y ? "Y" : "Z";
    p.drawText(QRectF(topLeft, QSizeF(10, 10)), Qt::AlignCenter, letter);
}

// An ellipse of radii (rx, ry) round the centre, walked from `from` degrees over
// `span` degrees (positive: counter-clockwise on screen), with a head at its end.
void DrawTurn(QPainter& p, double rx, double ry, double from, double span)
{
    QPainterPath path;
    const int steps = 48;
    QPointF last, beforeLast;
    for (int i = 0; i <= steps; ++i) {
        const double a = qDegreesToRadians(from + span * i / steps);
        const QPointF pt(16 + rx * std::cos(a), 16 - ry * std::sin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
        beforeLast = last;
        last = pt;
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kArrow, 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(path);
    const QPointF dir = last - beforeLast;
    DrawArrowHead(p, last + dir * 0.5, std::atan2(dir.y(), dir.x()), 5.0);
}

void DrawAxisLine(QPainter& p, Axis axis)
{
    p.setPen(QPen(kAxis, 1.2, Qt::DashLine));
    if (axis == Axis::X)
        p.drawLine(QPointF(2, 16), QPointF(30, 16));
    else if (axis == Axis::Y)
        p.drawLine(QPointF(16, 2), QPointF(16, 30));
    else {
        p.setPen(Qt::NoPen);
        p.setBrush(kAxis);
        p.drawEllipse(QPointF(16, 16), 1.8, 1.8);
    }
}

// Spin about `axis`; `forward` picks the direction of the arrow.
void DrawSpin(QPainter& p, Axis axis, bool forward)
{
    const double span = forward ? -270 : 270;
    const double from = forward ? 135 : 45;
    DrawAxisLine(p, Axis::Z == axis ? Axis::X : axis); // the Z axis is drawn after the cube
    DrawCube(p, 12);
    if (axis == Axis::Z)
        DrawAxisLine(p, Axis::Z);
    if (axis == Axis::X)
        DrawTurn(p, 4.5, 13, from, span);
    else if (axis == Axis::Y)
        DrawTurn(p, 13, 4.5, from, span);
    else
        DrawTurn(p, 13, 13, from, span);
    DrawLetter(p, axis);
}

void DrawDoubleArrow(QPainter& p, QPointF a, QPointF b)
{
    p.setPen(QPen(kArrow, 2.0, Qt::SolidLine, Qt::RoundCap));
    const QPointF dir = b - a;
    const double len = std::hypot(dir.x(), dir.y());
    const QPointF unit = dir / len;
    p.drawLine(a + unit * 3, b - unit * 3);
    const double angle = std::atan2(dir.y(), dir.x());
    DrawArrowHead(p, b, angle, 5.5);
    DrawArrowHead(p, a, angle + M_PI, 5.5);
}

// Movement along `axis`: the cube and a double arrow beside it.
void DrawMove(QPainter& p, Axis axis)
{
    if (axis == Axis::X) {
        DrawCube(p, 11);
        DrawDoubleArrow(p, QPointF(2, 28), QPointF(30, 28));
        DrawLetter(p, axis, QPointF(0, 0));
        return;
    }
    if (axis == Axis::Y) {
        DrawCube(p, 11);
        DrawDoubleArrow(p, QPointF(28, 2), QPointF(28, 26));
        DrawLetter(p, axis);
        return;
    }
    // Depth: a small far cube and a large near one, with the arrow between them.
    p.save();
    p.translate(9, -5);
    p.scale(0.6, 0.6);
    p.translate(0, 8);
    DrawCube(p, 11);
    p.restore();
    p.save();
    p.translate(-6, 6);
    DrawCube(p, 11);
    p.restore();
    DrawDoubleArrow(p, QPointF(9, 25), QPointF(28, 6));
    DrawLetter(p, axis, QPointF(0, 0));
}

QImage Draw(int id, int pixels)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(pixels / 32.0, pixels / 32.0);
    switch (id) {
    case 207: DrawSpin(p, Axis::X, false); break;
    case 208: DrawSpin(p, Axis::X, true); break;
    case 209: DrawSpin(p, Axis::Y, false); break;
    case 210: DrawSpin(p, Axis::Y, true); break;
    case 211: DrawSpin(p, Axis::Z, false); break;
    case 212: DrawSpin(p, Axis::Z, true); break;
    case 213: DrawMove(p, Axis::X); break;
    case 214: DrawMove(p, Axis::Y); break;
    case 215: DrawMove(p, Axis::Z); break;
    }
    return image;
}
} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw-slider-icons <res/icons folder>\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    for (int id = 207; id <= 215; ++id) {
        for (int scale : {1, 2}) {
            const QString name = dir + QStringLiteral("/%1%2.png").arg(id).arg(scale == 2 ? "@2x" : "");
            if (!Draw(id, 32 * scale).save(name)) {
                std::fprintf(stderr, "draw-slider-icons: cannot write %s\n", qPrintable(name));
                return 1;
            }
        }
    }
    return 0;
}
