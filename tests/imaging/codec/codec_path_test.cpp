#include "imaging/codec/codec_image.h"
#include "imaging/codec/jpeg_scaled_decode.h"
#include "imaging/own/pixel_claim.h"

#include "imaging/test_images.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace {
std::unique_ptr<DeviceBitmap> Blank(int w, int h, std::uint32_t fill = 0)
{
    auto b = std::make_unique<DeviceBitmap>();
    b->width = w;
    b->height = h;
    b->pixels.assign(std::size_t(w) * h, fill);
    return b;
}

std::unique_ptr<CodecImage> OpenOk(const std::string& path, bool autoRotate = true)
{
    int status = -1;
    std::string reason;
    auto image = CodecImage::Open(path, autoRotate, status, reason);
    EXPECT_TRUE(image) << path << ": " << status << " " << reason;
    EXPECT_EQ(status, kCodecOk);
    return image;
}

int Channel(std::uint32_t p, int shift) { return int((p >> shift) & 0xFF); }

// Quadrant colours of the test photos: a stored picture with distinct corners.
Rgb Quadrant(int x, int y, int w, int h)
{
    const bool right = x >= w / 2, bottom = y >= h / 2;
    if (!right && !bottom) return {230, 20, 20};
    if (right && !bottom) return {20, 230, 20};
    if (!right) return {20, 20, 230};
    return {240, 240, 240};
}

bool Near(std::uint32_t p, Rgb c, int tol = 40)
{
    return std::abs(Channel(p, 16) - c.r) <= tol && std::abs(Channel(p, 8) - c.g) <= tol &&
           std::abs(Channel(p, 0) - c.b) <= tol;
}

double Smooth(double x, double y) { return 128 + 80 * std::sin(x / 97.0) * std::cos(y / 71.0); }
} // namespace

TEST(JpegScale, SmallestScaleThatStillCoversTheFit)
{
    EXPECT_EQ(JpegScaledDecoder::ChooseScale(1600, 1200, {100, 0, 1400, 1200}, 512, 512), 4);
    EXPECT_EQ(JpegScaledDecoder::ChooseScale(6000, 4000, {500, 0, 5000, 4000}, 960, 960), 2);
    EXPECT_EQ(JpegScaledDecoder::ChooseScale(4000, 3000, {250, 0, 3500, 3000}, 960, 960), 3);
    EXPECT_EQ(JpegScaledDecoder::ChooseScale(4000, 3000, {0, 0, 4000, 3000}, 960, 720), 2);
    EXPECT_EQ(JpegScaledDecoder::ChooseScale(8000, 8000, {0, 0, 8000, 8000}, 960, 960), 1);
    EXPECT_EQ(JpegScaledDecoder::ChooseScale(600, 300, {75, 0, 450, 300}, 512, 512), 8);
}

TEST(CodecPath, ScaledJpegDecodeMatchesThePhoto)
{
    TempDir dir;
    const std::string path = dir.File("smooth.jpg");
    auto pixel = [](int x, int y) {
        const auto v = std::uint8_t(std::lround(Smooth(x, y)));
        return Rgb{v, v, v};
    };
    WriteJpeg(path, 1600, 1200, pixel);
    for (bool progressive : {false, true}) {
        WriteJpeg(path, 1600, 1200, pixel, {92, progressive, 0});
        auto image = OpenOk(path);
        ASSERT_TRUE(image);
        EXPECT_STREQ(image->Decoder(), "libjpeg");
        auto target = Blank(512, 512);
        std::string reason;
        ASSERT_EQ(image->Draw(*target, {0, 0, 512, 512}, {100, 0, 1400, 1200}, 0, reason), kCodecOk);
        double err = 0;
        int n = 0;
        for (int y = 8; y < 504; y += 7)
            for (int x = 8; x < 504; x += 7) {
                const double sx = 100 + (x + 0.5) * 1400 / 512.0, sy = (y + 0.5) * 1200 / 512.0;
                const double d = Channel(target->pixels[std::size_t(y) * 512 + x], 8) - Smooth(sx, sy);
                err += d * d;
                ++n;
            }
        EXPECT_LT(std::sqrt(err / n), 2.0) << "progressive " << progressive;
        for (std::uint32_t p : target->pixels)
            ASSERT_EQ(p >> 24, 0xFFu);
    }
}

TEST(CodecPath, EveryExifOrientationIsShownUpright)
{
    TempDir dir;
    const int w = 64, h = 32;
    for (int o = 1; o <= 8; ++o) {
        const std::string path = dir.File("o" + std::to_string(o) + ".jpg");
        // Stored so that, turned by the orientation, the picture is Quadrant(upright).
        const bool swap = o >= 5;
        const int uw = swap ? h : w, uh = swap ? w : h;
        auto stored = [&](int sx, int sy) {
            // Find the upright pixel that shows stored (sx, sy).
            for (int y = 0; y < uh; ++y)
                for (int x = 0; x < uw; ++x) {
                    int tx = x, ty = y;
                    switch (o) {
                    case 2: tx = w - 1 - x; break;
                    case 3: tx = w - 1 - x; ty = h - 1 - y; break;
                    case 4: ty = h - 1 - y; break;
                    case 5: tx = y; ty = x; break;
                    case 6: tx = y; ty = h - 1 - x; break;
                    case 7: tx = w - 1 - y; ty = h - 1 - x; break;
                    case 8: tx = w - 1 - y; ty = x; break;
                    }
                    if (tx == sx && ty == sy)
                        return Quadrant(x, y, uw, uh);
                }
            return Rgb{0, 0, 0};
        };
        WriteJpeg(path, w, h, stored, {95, false, o});
        auto image = OpenOk(path);
        ASSERT_TRUE(image);
        ASSERT_EQ(image->Width(), uw) << o;
        ASSERT_EQ(image->Height(), uh) << o;
        auto target = Blank(uw, uh);
        std::string reason;
        ASSERT_EQ(image->Draw(*target, {0, 0, uw, uh}, {0, 0, uw, uh}, 0, reason), kCodecOk);
        for (auto [x, y] : {std::pair{4, 4}, {uw - 5, 4}, {4, uh - 5}, {uw - 5, uh - 5}})
            EXPECT_TRUE(Near(target->pixels[std::size_t(y) * uw + x], Quadrant(x, y, uw, uh)))
                << "orientation " << o << " at " << x << "," << y << std::hex << " got "
                << target->pixels[std::size_t(y) * uw + x];

        // AutoRotate off: the stored picture as it is.
        auto raw = OpenOk(path, false);
        ASSERT_TRUE(raw);
        EXPECT_EQ(raw->Width(), w);
        EXPECT_EQ(raw->Height(), h);
    }
}

TEST(CodecPath, RowsAboveAndColumnsLeftOfTheCropAreSkippedExactly)
{
    // Red above row 150 and left of column 150, blue elsewhere; the fit
    // starts at row 100 (portrait) or column 100 (landscape).
    TempDir dir;
    const std::string portrait = dir.File("portrait.jpg"), landscape = dir.File("landscape.jpg");
    WriteJpeg(portrait, 400, 800, [](int, int y) { return y < 150 ? Rgb{220, 20, 20} : Rgb{20, 20, 220}; });
    WriteJpeg(landscape, 800, 400, [](int x, int) { return x < 150 ? Rgb{220, 20, 20} : Rgb{20, 20, 220}; });
    const FitRect full{0, 0, 200, 200};
    for (bool tall : {true, false}) {
        auto image = OpenOk(tall ? portrait : landscape);
        ASSERT_TRUE(image);
        const CodecFit fit = ComputeCodecFit(image->Width(), image->Height(), 200, 200, false, true);
        EXPECT_EQ(tall ? fit.source.y : fit.source.x, 100);
        auto target = Blank(200, 200);
        std::string reason;
        ASSERT_EQ(image->Draw(*target, full, fit.source, 0, reason), kCodecOk);
        // Source position 100 + (i + 0.5) * 3: red up to output index 16.
        auto at = [&](int i) { return tall ? target->pixels[std::size_t(i) * 200 + 100] : target->pixels[std::size_t(100) * 200 + i]; };
        EXPECT_TRUE(Near(at(2), Rgb{220, 20, 20}, 30)) << tall;
        EXPECT_TRUE(Near(at(13), Rgb{220, 20, 20}, 30)) << tall;
        EXPECT_TRUE(Near(at(20), Rgb{20, 20, 220}, 30)) << tall;
        EXPECT_TRUE(Near(at(199), Rgb{20, 20, 220}, 30)) << tall;
    }
}

TEST(CodecPath, GreyJpegComesOutGrey)
{
    TempDir dir;
    const std::string path = dir.File("grey.jpg");
    WriteJpeg(path, 300, 200, [](int, int) { return Rgb{0, 140, 0}; }, {90, false, 0, true});
    auto image = OpenOk(path);
    ASSERT_TRUE(image);
    auto target = Blank(150, 150);
    std::string reason;
    ASSERT_EQ(image->Draw(*target, {0, 25, 150, 100}, {0, 0, 300, 200}, 0, reason), kCodecOk);
    EXPECT_TRUE(Near(target->pixels[75 * 150 + 75], Rgb{140, 140, 140}, 3));
    EXPECT_EQ(target->pixels[0], 0u) << "outside the destination stays as it was";
}

TEST(CodecPath, FormatIsTakenFromTheContentNotTheName)
{
    TempDir dir;
    const std::string jpegAsBmp = dir.File("photo.bmp");
    WriteJpeg(jpegAsBmp, 40, 30, [](int, int) { return Rgb{10, 200, 10}; });
    auto jpeg = OpenOk(jpegAsBmp);
    ASSERT_TRUE(jpeg);
    EXPECT_STREQ(jpeg->Decoder(), "libjpeg");

    const std::string pngAsJpg = dir.File("picture.jpg");
    QImage png(40, 30, QImage::Format_RGB32);
    png.fill(QColor(200, 10, 10));
    ASSERT_TRUE(png.save(QString::fromStdString(pngAsJpg), "PNG"));
    auto image = OpenOk(pngAsJpg);
    ASSERT_TRUE(image);
    EXPECT_STREQ(image->Decoder(), "Qt");
    auto target = Blank(40, 30);
    std::string reason;
    ASSERT_EQ(image->Draw(*target, {0, 0, 40, 30}, {0, 0, 40, 30}, 0, reason), kCodecOk);
    EXPECT_EQ(target->pixels[0], 0xFFC80A0Au);
}

TEST(CodecPath, TranslucentPngComesOutOpaqueOverTheBackground)
{
    TempDir dir;
    const std::string path = dir.File("alpha.png");
    QImage png(20, 10, QImage::Format_ARGB32);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            png.setPixel(x, y, x < 10 ? qRgba(0, 0, 255, 0) : qRgba(255, 0, 0, 255));
    ASSERT_TRUE(png.save(QString::fromStdString(path)));
    auto image = OpenOk(path);
    ASSERT_TRUE(image);
    auto target = Blank(20, 10);
    std::string reason;
    ASSERT_EQ(image->Draw(*target, {0, 0, 20, 10}, {0, 0, 20, 10}, 0x00336699u, reason), kCodecOk);
    EXPECT_EQ(target->pixels[0], 0xFF336699u);
    EXPECT_EQ(target->pixels[19], 0xFFFF0000u);
}

TEST(CodecPath, GifIsDecodedThroughQt)
{
    TempDir dir;
    const std::string path = dir.File("palette.gif");
    WriteGif(path, 30, 20, {{0, 0, 0}, {250, 250, 0}}, [](int x, int) { return std::uint8_t(x >= 15); });
    auto image = OpenOk(path);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Width(), 30);
    auto target = Blank(30, 20);
    std::string reason;
    ASSERT_EQ(image->Draw(*target, {0, 0, 30, 20}, {0, 0, 30, 20}, 0, reason), kCodecOk);
    EXPECT_EQ(target->pixels[0], 0xFF000000u);
    EXPECT_EQ(target->pixels[29], 0xFFFAFA00u);
}

TEST(CodecPath, UnreadableFilesAreRefusedWithAStatus)
{
    TempDir dir;
    int status = 0;
    std::string reason;
    EXPECT_FALSE(CodecImage::Open(dir.File("missing.jpg"), true, status, reason));
    EXPECT_EQ(status, kCodecFileNotFound);

    const std::string text = dir.File("notes.jpg");
    std::ofstream(text) << "not an image at all";
    EXPECT_FALSE(CodecImage::Open(text, true, status, reason));
    EXPECT_NE(status, kCodecOk);

    // A JPEG cut inside its header.
    const std::string cut = dir.File("cut.jpg");
    WriteJpeg(cut, 64, 64, [](int, int) { return Rgb{1, 2, 3}; });
    std::filesystem::resize_file(cut, 40);
    EXPECT_FALSE(CodecImage::Open(cut, true, status, reason));
    EXPECT_EQ(status, kCodecGenericError);
    EXPECT_FALSE(reason.empty());
}

TEST(CodecPath, BmpClaimsTheFileCannotHoldAreRefusedBeforeQtReadsThem)
{
    auto bmp = [](std::int32_t w, std::int32_t h, int bits, std::uint32_t compression, std::size_t pixelBytes) {
        std::vector<std::uint8_t> out = {'B', 'M'};
        auto put = [&](std::uint32_t v, int n) {
            for (int i = 0; i < n; ++i)
                out.push_back(std::uint8_t(v >> (8 * i)));
        };
        put(std::uint32_t(54 + pixelBytes), 4);
        put(0, 4);
        put(54, 4);
        put(40, 4);
        put(std::uint32_t(w), 4);
        put(std::uint32_t(h), 4);
        put(1, 2);
        put(std::uint32_t(bits), 2);
        put(compression, 4);
        for (int i = 0; i < 5; ++i)
            put(0, 4);
        out.resize(out.size() + pixelBytes, 0x80);
        return out;
    };
    TempDir dir;
    auto write = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = dir.File(name);
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    std::streamsize(bytes.size()));
        return path;
    };
    int status = 0;
    std::string reason;
    EXPECT_FALSE(CodecImage::Open(write("huge.bmp", bmp(16384, 16384, 32, 0, 6)), true, status, reason));
    EXPECT_EQ(status, kCodecOutOfMemory);
    EXPECT_EQ(reason, "claims 16384 x 16384 pixels of 32 bits, but holds only 6 bytes of pixel data");
    // Top-down, and under a name that says otherwise: the content decides.
    EXPECT_FALSE(CodecImage::Open(write("huge.png", bmp(9000, -9000, 24, 0, 100)), true, status, reason));
    EXPECT_EQ(status, kCodecOutOfMemory);

    // An intact file and one that lost its last rows still open.
    OpenOk(write("whole.bmp", bmp(64, 48, 24, 0, 64 * 3 * 48)));
    OpenOk(write("cut.bmp", bmp(64, 48, 24, 0, 64 * 3 * 40)));

    // Header values only the reader can judge are left to it.
    EXPECT_EQ(BmpClaimProblem(bmp(16384, 16384, 8, 1, 2), 56), "");
    EXPECT_EQ(BmpClaimProblem(bmp(0, 16384, 32, 0, 0), 54), "");
    EXPECT_NE(BmpClaimProblem(bmp(0x7FFFFFFF, 0x7FFFFFFF, 32, 0, 0), 54), "");
}

TEST(CodecPath, TruncatedJpegDataStillDraws)
{
    TempDir dir;
    const std::string path = dir.File("short.jpg");
    WriteJpeg(path, 256, 256, [](int x, int y) { return Rgb{std::uint8_t(x), std::uint8_t(y), 90}; });
    std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
    auto image = OpenOk(path);
    ASSERT_TRUE(image);
    auto target = Blank(128, 128);
    std::string reason;
    EXPECT_EQ(image->Draw(*target, {0, 0, 128, 128}, {0, 0, 256, 256}, 0, reason), kCodecOk);
    EXPECT_TRUE(Near(target->pixels[10 * 128 + 10], Rgb{21, 21, 90}, 12));
}
