// tessaview-image: loads one photo the way the show does and writes what the
// cube would get as a PNG, printing the loader's log lines. Exits 1 when the
// loader refuses the file, 2 on a usage error.
#include "app/log.h"
#include "app/program_options.h"
#include "app/saver_settings.h"
#include "imaging/fit/image_loader.h"
#include "imaging/own/bitmap_ex.h"
#include "imaging/own/device_bitmap.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include <unistd.h>

namespace {
const char kUsage[] =
    "Usage: tessaview-image [options] FILE\n"
    "Loads FILE as the screen saver would and writes the resulting square as a PNG.\n"
    "  --size N          wanted edge length in pixels (default 960)\n"
    "  --own-readers     decode with the program's own BMP, GIF and JPEG readers\n"
    "  --keep-aspect     keep the photo's shape (bands instead of a partial crop)\n"
    "  --transparent     cleared bands transparent (key colour) instead of the back colour\n"
    "  --back-color C    back colour, #RRGGBB or the stored 0x00BBGGRR value (default black)\n"
    "  --no-reduce       never shrink large photos\n"
    "  --no-rotate       ignore the camera orientation (EXIF; a HEIF file's own turn stays)\n"
    "  --output FILE     where to write the PNG (default: NAME-SIZE.png here)\n"
    "  --no-output       only load, write no PNG\n"
    "  --quiet           do not print the log lines\n"
    "  --help            print this help and exit\n"
    "  --version         print the version and exit\n"
    "Formats (told by content, not by name): JPEG, PNG, GIF, BMP, HEIC/HEIF, AVIF,\n"
    "WebP and TIFF; with --own-readers BMP, GIF and JPEG only.\n";

// Qt's PNG writer maps 0..100 onto zlib levels 0..9; 20 is level 1, which
// writes a 960 x 960 square about four times faster than Qt's default for a
// file about a fifth larger (below 9 nothing is compressed at all).
constexpr int kPngCompression = 20;

bool ParseColor(std::string_view text, int& ref)
{
    char* end = nullptr;
    const std::string s(text);
    if (!s.empty() && s[0] == '#') {
        const unsigned long rgb = std::strtoul(s.c_str() + 1, &end, 16);
        if (s.size() != 7 || *end)
            return false;
        ref = int(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
        return true;
    }
    const unsigned long v = std::strtoul(s.c_str(), &end, 0);
    if (s.empty() || *end || v > 0xFFFFFF)
        return false;
    ref = int(v);
    return true;
}

QImage ToImage(const DeviceBitmap& bitmap)
{
    QImage image(bitmap.width, bitmap.height, QImage::Format_ARGB32);
    bool opaque = true;
    for (int y = 0; y < bitmap.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.width; ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(bitmap.width) + std::size_t(x);
            if (!bitmap.indexed) {
                line[x] = bitmap.pixels[i];
                opaque = opaque && qAlpha(line[x]) == 0xFF;
            } else {
                const std::uint8_t k = bitmap.indices[i];
                const bool known = bitmap.palette && k < bitmap.palette->entries.size();
                const PaletteEntry e = known ? bitmap.palette->entries[k] : PaletteEntry{};
                line[x] = qRgb(e.red, e.green, e.blue);
            }
        }
    }
    // Without transparent bands the PNG needs no alpha channel: a quarter less to write.
    if (opaque)
        image.convertTo(QImage::Format_RGB32);
    return image;
}
} // namespace

int main(int argc, char** argv)
{
    CSaverSettings settings;
    settings.Random = 0;
    settings.SaveLastImage = 0;
    settings.CubeTransp = 0;
    settings.BackColor = 0;
    int size = 960;
    bool codec = true, quiet = false, write = true;
    std::string file, output;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (a == "--size") {
            const char* v = value();
            size = v ? std::atoi(v) : 0;
            if (size <= 0) {
                std::fprintf(stderr, "tessaview-image: --size needs a positive number\n");
                return 2;
            }
        } else if (a == "--own-readers") {
            codec = false;
        } else if (a == "--keep-aspect") {
            settings.KeepAspectRatio = 1;
        } else if (a == "--transparent") {
            settings.CubeTransp = 1;
        } else if (a == "--back-color") {
            const char* v = value();
            if (!v || !ParseColor(v, settings.BackColor)) {
                std::fprintf(stderr, "tessaview-image: --back-color needs #RRGGBB or a colour value\n");
                return 2;
            }
        } else if (a == "--no-reduce") {
            settings.ReduceBig = 0;
        } else if (a == "--no-rotate") {
            settings.AutoRotate = 0;
        } else if (a == "--caption") {
            const char* v = value();
            char* end = nullptr;
            const long n = v ? std::strtol(v, &end, 10) : -1;
            if (!v || *end || n < 0 || n > 3) {
                std::fprintf(stderr, "tessaview-image: --caption needs 0, 1, 2 or 3\n");
                return 2;
            }
            settings.Caption = int(n);
        } else if (a == "--image-folder") {
            const char* v = value();
            if (!v || !*v) {
                std::fprintf(stderr, "tessaview-image: --image-folder needs a folder\n");
                return 2;
            }
            settings.ImageFolders = {v};
        } else if (a == "--output") {
            const char* v = value();
            if (!v) {
                std::fprintf(stderr, "tessaview-image: --output needs a file name\n");
                return 2;
            }
            output = v;
        } else if (a == "--no-output") {
            write = false;
        } else if (a == "--quiet") {
            quiet = true;
        } else if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--version") {
            std::fputs(VersionLine("tessaview-image").c_str(), stdout);
            return 0;
        } else if (!a.empty() && a[0] == '-') {
            std::fprintf(stderr, "tessaview-image: unknown option %s\n%s", argv[i], kUsage);
            return 2;
        } else if (file.empty()) {
            file = a;
        } else {
            std::fprintf(stderr, "tessaview-image: one file at a time\n");
            return 2;
        }
    }
    if (file.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (output.empty())
        output = std::filesystem::path(file).stem().string() + "-" + std::to_string(size) + ".png";

    // Captions are drawn with the application's fonts, which Qt keeps in its
    // GUI application; the tool shows no window, so it needs no display.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    std::unique_ptr<QGuiApplication> app;
    if (settings.Caption != 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
        // The show's lists hold full paths; the caption names folders from them.
        file = std::filesystem::absolute(file).lexically_normal().string();
    }

    SetDisplayDepth(24);
    settings.ImageFiles = {file};
    settings.AllImageFiles = settings.ImageFiles;

    const std::string logPath =
        (std::filesystem::temp_directory_path() / ("tessaview-image-" + std::to_string(getpid()) + ".log")).string();
    TheLogger().SetPathProvider([logPath] { return logPath; });
    TheLogger().ResetCreated();
    TheLogger().SetTrace(!quiet);

    CBitmapEx bitmap;
    const int answer = LoadNewImage(bitmap, size, settings, codec);
    TheLogger().SetTrace(false);

    if (!quiet) {
        std::ifstream in(logPath);
        std::string line;
        while (std::getline(in, line)) {
            const auto sep = line.find(" : ");
            std::printf("%s\n", sep == std::string::npos ? line.c_str() : line.c_str() + sep + 3);
        }
    }
    std::remove(logPath.c_str());

    if (answer != 0 || !bitmap.bitmap) {
        std::fprintf(stderr, "tessaview-image: %s was not loaded\n", file.c_str());
        return 1;
    }
    if (!write) {
        std::printf("%s: %dx%d loaded\n", file.c_str(), bitmap.width, bitmap.height);
        return 0;
    }
    QImageWriter writer(QString::fromStdString(output), "png");
    writer.setCompression(kPngCompression);
    if (!writer.write(ToImage(*bitmap.bitmap))) {
        std::fprintf(stderr, "tessaview-image: cannot write %s\n", output.c_str());
        return 1;
    }
    std::printf("%s: %dx%d written to %s\n", file.c_str(), bitmap.width, bitmap.height, output.c_str());
    return 0;
}
