#include "bench/image_fixtures.h"

#include "imaging/test_images.h"

#include <QImage>
#include <QString>

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {
const char kFolder[] = "/tmp/tessaview-bench-images";

// A scene of smooth sky and ground, a few hard-edged shapes and a grain of
// roughly Gaussian noise, softened a little like film grain.
class PhotoScene {
public:
    PhotoScene(int w, int h) : w_(w), h_(h), prevNoise_(std::size_t(w), 0.0f) {}

    Rgb Pixel(int x, int y)
    {
        if (y != row_) { row_ = y; last_ = 0; }
        const double u = double(x) / w_, v = double(y) / h_;
        double r, g, b;
        if (v < 0.55 + 0.05 * std::sin(u * 9.0)) {          // sky
            r = 90 + 80 * v; g = 140 + 60 * v; b = 230 - 40 * v;
        } else {                                              // ground
            r = 110 + 40 * std::sin(u * 23.0) * std::cos(v * 17.0); g = 120 + 30 * v; b = 60;
        }
        const double dx = u - 0.72, dy = v - 0.25;
        if (dx * dx + dy * dy < 0.004) { r = 250; g = 235; b = 180; }      // sun
        for (int k = 0; k < 6; ++k) {                                       // buildings
            const double left = 0.08 + 0.14 * k, top = 0.35 + 0.04 * ((k * 7) % 5);
            if (u > left && u < left + 0.09 && v > top && v < 0.8) {
                r = 70 + 25 * k; g = 60 + 15 * k; b = 55 + 10 * k;
                if ((int(u * w_ / 37.0) + int(v * h_ / 53.0)) % 3 == 0) { r += 60; g += 55; b += 30; }
            }
        }
        // Grain: a sum of uniforms, mixed with its neighbours above and left.
        const float n = float(Uniform() + Uniform() + Uniform() + Uniform() - 2.0) * 20.0f;
        const float grain = 0.5f * n + 0.25f * last_ + 0.25f * prevNoise_[std::size_t(x)];
        last_ = n;
        prevNoise_[std::size_t(x)] = n;
        auto c = [&](double value) { return std::uint8_t(std::clamp(value + grain, 0.0, 255.0)); };
        return {c(r), c(g), c(b)};
    }

private:
    double Uniform()
    {
        state_ ^= state_ << 13; state_ ^= state_ >> 7; state_ ^= state_ << 17;
        return double(state_ >> 11) * (1.0 / 9007199254740992.0);
    }
    int w_, h_;
    int row_ = -1;
    float last_ = 0;
    std::vector<float> prevNoise_;
    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

void MakeJpeg(const std::string& path, int w, int h, bool progressive)
{
    PhotoScene scene(w, h);
    WriteJpeg(path, w, h, [&](int x, int y) { return scene.Pixel(x, y); }, {90, progressive, 0});
}

void MakePng(const std::string& path, int w, int h)
{
    PhotoScene scene(w, h);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const Rgb p = scene.Pixel(x, y);
            line[x] = qRgb(p.r, p.g, p.b);
        }
    }
    image.save(QString::fromStdString(path), "PNG");
}

void MakeGif(const std::string& path, int w, int h)
{
    // A 6 x 7 x 6 colour cube with ordered dithering.
    std::vector<Rgb> palette;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back({std::uint8_t(r * 51), std::uint8_t(g * 42), std::uint8_t(b * 51)});
    PhotoScene scene(w, h);
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    WriteGif(path, w, h, palette, [&](int x, int y) {
        const Rgb p = scene.Pixel(x, y);
        const double d = (bayer[y & 3][x & 3] + 0.5) / 16.0;
        const int r = std::min(5, int(p.r / 51.0 + d)), g = std::min(6, int(p.g / 42.5 + d)),
                  b = std::min(5, int(p.b / 51.0 + d));
        return std::uint8_t((r * 7 + g) * 6 + b);
    });
}
} // namespace

double BitsPerPixel(const std::string& path, int w, int h)
{
    return double(std::filesystem::file_size(path)) * 8.0 / (double(w) * h);
}

std::vector<ImageFixture> PrepareImageFixtures()
{
    std::filesystem::create_directories(kFolder);
    const std::string dir = std::string(kFolder) + "/";
    std::vector<ImageFixture> all = {
        {"jpeg-12MP", dir + "photo-4000x3000.jpg", 4000, 3000, true, true},
        {"jpeg-24MP", dir + "photo-6000x4000.jpg", 6000, 4000, true, true},
        {"progressive-12MP", dir + "photo-4000x3000-progressive.jpg", 4000, 3000, true, true},
        {"png-12MP", dir + "photo-4000x3000.png", 4000, 3000, false, false},
        {"gif-3MP", dir + "photo-2000x1500.gif", 2000, 1500, false, true},
    };
    for (const ImageFixture& f : all) {
        if (std::filesystem::exists(f.path))
            continue;
        std::fprintf(stderr, "making %s\n", f.path.c_str());
        const std::string temp = f.path + ".part";
        if (f.jpeg)
            MakeJpeg(temp, f.width, f.height, f.name.rfind("progressive", 0) == 0);
        else if (f.name.rfind("png", 0) == 0)
            MakePng(temp, f.width, f.height);
        else
            MakeGif(temp, f.width, f.height);
        std::filesystem::rename(temp, f.path);
    }
    return all;
}
