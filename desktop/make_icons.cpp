// make_icons SOURCE.png OUTDIR: writes the program icon at the hicolor theme's
// usual sizes as OUTDIR/hicolor/NxN/apps/tessaview.png. Run by the build.
#include <QDir>
#include <QImage>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

namespace {
// Every usual size up to the source, and at least up to 48, the size menus
// ask for most, so that a small source still fills a menu.
std::vector<int> HicolorSizes(int sourceSize)
{
    static constexpr std::array<int, 8> kUsual{16, 22, 24, 32, 48, 64, 128, 256};
    std::vector<int> sizes;
    for (int s : kUsual)
        if (s <= std::max(sourceSize, 48))
            sizes.push_back(s);
    return sizes;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "Usage: make_icons SOURCE.png OUTDIR\n");
        return 2;
    }
    QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull() || source.width() != source.height()) {
        std::fprintf(stderr, "make_icons: %s is no square image\n", argv[1]);
        return 1;
    }
    source = source.convertToFormat(QImage::Format_ARGB32);
    for (int size : HicolorSizes(source.width())) {
        QString dir = QString("%1/hicolor/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        QImage icon = size == source.width()
                          ? source
                          : source.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (!QDir().mkpath(dir) || !icon.save(dir + "/tessaview.png", "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(dir + "/tessaview.png"));
            return 1;
        }
    }
    return 0;
}
