// soak-library: writes the photo library of the soak (bench/soak.sh): JPEG,
// PNG, GIF and BMP files from 1 x 1 to 24 megapixels, and a share of files
// broken in the ways a person's folders break them. A manifest lists every
// file with its kind and whether the show should show it or log and skip it.
//
//   soak-library FOLDER [COUNT]      (COUNT 2000 by default)
#include "fixture_writers.h"

#include <QImage>
#include <QString>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {
// A smooth picture, different for each seed: it compresses as photos do.
std::uint32_t Shade(int x, int y, int w, int h, unsigned seed)
{
    const unsigned r = (unsigned(x) * 255u / unsigned(w) + seed * 37u) & 0xFF;
    const unsigned g = (unsigned(y) * 255u / unsigned(h) + seed * 11u) & 0xFF;
    const unsigned b = ((unsigned(x) + unsigned(y)) * 191u / unsigned(w + h) + seed * 71u) & 0xFF;
    return r << 16 | g << 8 | b;
}

void Save(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                std::streamsize(bytes.size()));
}

enum class Format { Jpeg, Png, Gif, Bmp };
const char* Extension(Format f)
{
    switch (f) {
    case Format::Jpeg: return ".jpg";
    case Format::Png: return ".png";
    case Format::Gif: return ".gif";
    case Format::Bmp: return ".bmp";
    }
    return "";
}

Bytes Encode(Format format, int w, int h, unsigned seed)
{
    auto shade = [&](int x, int y) { return Shade(x, y, w, h, seed); };
    switch (format) {
    case Format::Jpeg:
        return MakeJpeg(w, h, 3, shade, 85, seed % 5 == 0);
    case Format::Bmp: {
        BmpForm form{.width = w, .height = h, .bits = 24};
        return MakeBmp(form, PackRows(form, shade));
    }
    case Format::Gif: {
        GifImage g{.width = w, .height = h};
        for (int i = 0; i < 256; ++i)
            g.palette.push_back(Shade(i, i, 256, 256, seed));
        g.indices.resize(std::size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                g.indices[std::size_t(y) * w + x] = std::uint8_t((x * 255 / w + y * 255 / h) / 2);
        return MakeGif({g});
    }
    case Format::Png: {
        QImage image(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
            for (int x = 0; x < w; ++x)
                line[x] = 0xFF000000u | shade(x, y);
        }
        const QString tmp = QString::fromStdString((fs::temp_directory_path() / "soak-library.png").string());
        // zlib level 1: the library is written once per machine and quickly.
        if (!image.save(tmp, "PNG", 80))
            return {};
        std::ifstream in(tmp.toStdString(), std::ios::binary);
        Bytes out((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        fs::remove(tmp.toStdString());
        return out;
    }
    }
    return {};
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [COUNT]\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    const int count = argc > 2 ? std::max(100, std::atoi(argv[2])) : 2000;
    fs::create_directories(root / "photos");
    std::ofstream manifest(root / "manifest.tsv");
    std::mt19937 random(14);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };

    // One file in twenty is broken, each in one of these ways.
    const char* kinds[] = {"truncated", "empty", "garbage", "huge-claim", "wrong-extension", "unreadable",
                           "deleted"};
    int broken = 0;
    for (int i = 0; i < count; ++i) {
        const int folder = i % 20;
        const fs::path dir = root / "photos" / ("album-" + std::to_string(folder)) / (i % 3 ? "" : "more");
        fs::create_directories(dir);
        const unsigned seed = unsigned(i);
        const double pick = uniform(0, 1);
        Format format = pick < 0.55 ? Format::Jpeg : pick < 0.75 ? Format::Png : pick < 0.88 ? Format::Bmp
                                                                                          : Format::Gif;
        // Sizes: a few extremes, most photos small to mid-sized, some large.
        double megapixels;
        const double size = uniform(0, 1);
        if (i < 4)
            megapixels = 24;
        else if (size < 0.01)
            megapixels = 24;
        else if (size < 0.05)
            megapixels = uniform(6, 16);
        else if (size < 0.35)
            megapixels = uniform(1, 6);
        else
            megapixels = uniform(0.001, 1);
        if (i < 4)
            format = Format(i);   // one 24 MP file of every format
        else if (format != Format::Jpeg)
            megapixels = std::min(megapixels, 4.0);
        const double aspect = uniform(1.0 / 3, 3);
        int w = std::max(1, int(std::lround(std::sqrt(megapixels * 1e6 * aspect))));
        int h = std::max(1, int(std::lround(megapixels * 1e6 / w)));
        if (i == 4 || i == 5)
            w = h = 1;
        if (i == 6)
            w = 1, h = 3000;
        if (i == 7)
            w = 3000, h = 1;

        std::string name = "photo-" + std::to_string(i);
        const bool isBroken = i >= 8 && i % 20 == 10;
        std::string kind = "photo", expect = "show";
        if (!isBroken) {
            const fs::path path = dir / (name + Extension(format));
            Save(path, Encode(format, w, h, seed));
            manifest << path.string() << '\t' << kind << '\t' << expect << '\t' << w << 'x' << h << '\n';
            continue;
        }
        kind = kinds[broken++ % 7];
        expect = "skip";
        fs::path path;
        if (kind == "truncated") {
            // Cut where no reader can make a picture of it: a JPEG inside its
            // header, a PNG and a BMP well before half of their data.
            const Format f = Format(broken % 2 ? 0 : (broken % 4 == 0 ? 1 : 3));
            Bytes bytes = Encode(f, 300, 200, seed);
            bytes.resize(f == Format::Jpeg ? 120 : bytes.size() / 3);
            path = dir / (name + Extension(f));
            Save(path, bytes);
        } else if (kind == "empty") {
            path = dir / (name + (broken % 2 ? ".jpg" : ".png"));
            Save(path, {});
        } else if (kind == "garbage") {
            Bytes bytes(std::size_t(uniform(10, 50000)));
            for (auto& b : bytes)
                b = std::uint8_t(random());
            path = dir / (name + Extension(Format(broken % 4)));
            Save(path, bytes);
        } else if (kind == "huge-claim") {
            // 16384 x 16384 pixels of 32 bits claimed in 60 bytes.
            BmpForm form{.width = 16384, .height = 16384, .bits = 32, .writeSizeImage = false};
            path = dir / (name + ".bmp");
            Save(path, MakeBmp(form, Bytes(6, 0)));
        } else if (kind == "wrong-extension") {
            // A sound file's bytes under a photo's name.
            Bytes wav = {'R', 'I', 'F', 'F', 36, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0,
                         1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 0, 0, 0, 0};
            path = dir / (name + (broken % 2 ? ".jpg" : ".gif"));
            Save(path, wav);
        } else {
            // "unreadable" loses its permissions and "deleted" goes once the
            // show has listed it; soak.sh does both.
            path = dir / (name + ".jpg");
            Save(path, Encode(Format::Jpeg, 640, 480, seed));
        }
        manifest << path.string() << '\t' << kind << '\t' << expect << '\t' << w << 'x' << h << '\n';
    }
    std::printf("soak-library: %d files in %s, %d broken\n", count, root.c_str(), broken);
    return 0;
}
