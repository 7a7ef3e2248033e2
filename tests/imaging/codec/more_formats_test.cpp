// HEIC/HEIF, AVIF, WebP and TIFF photos on the codec path, made at test time
// by Debian's encoders from a photo-like picture.
#include "imaging/codec/codec_image.h"
#include "imaging/codec/heif_decode.h"
#include "imaging/codec/photo_exif.h"
#include "imaging/codec/webp_exif.h"
#include "imaging/fit/image_loader.h"

#include "app/saver_settings.h"
#include "app/test_log.h"
#include "imaging/encoder_tools.h"
#include "imaging/own/bitmap_ex.h"
#include "imaging/test_images.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

namespace {
// Distinct corners, so that a turn or mirror shows, with smooth texture in
// each quarter, as a photo has.
Rgb Photo(int x, int y, int w, int h)
{
    const bool right = x >= w / 2, bottom = y >= h / 2;
    Rgb c = !right && !bottom ? Rgb{220, 30, 30} : !bottom ? Rgb{30, 220, 30} : !right ? Rgb{30, 30, 220}
                                                                                        : Rgb{225, 225, 225};
    const int d = int(std::lround(25 * std::sin(x / 9.0) * std::cos(y / 7.0)));
    auto add = [d](std::uint8_t v) { return std::uint8_t(std::clamp(int(v) + d, 0, 255)); };
    return {add(c.r), add(c.g), add(c.b)};
}

void WritePng(const std::string& path, int w, int h, bool translucentRight = false)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb c = Photo(x, y, w, h);
            const int a = translucentRight && x >= w / 2 ? 0 : 255;
            image.setPixel(x, y, qRgba(c.r, c.g, c.b, a));
        }
    if (!translucentRight)
        image.convertTo(QImage::Format_RGB32);
    ASSERT_TRUE(image.save(QString::fromStdString(path), "PNG"));
}

std::unique_ptr<DeviceBitmap> Blank(int w, int h)
{
    auto b = std::make_unique<DeviceBitmap>();
    b->width = w;
    b->height = h;
    b->pixels.assign(std::size_t(w) * h, 0);
    return b;
}

std::unique_ptr<CodecImage> Open(const std::string& path, bool autoRotate = true)
{
    int status = -1;
    std::string reason;
    auto image = CodecImage::Open(path, autoRotate, status, reason);
    EXPECT_TRUE(image) << path << ": " << status << " " << reason;
    return image;
}

// The whole picture drawn at its own size.
std::unique_ptr<DeviceBitmap> DrawWhole(CodecImage& image, std::uint32_t background = 0)
{
    auto target = Blank(image.Width(), image.Height());
    std::string reason;
    const FitRect all{0, 0, image.Width(), image.Height()};
    EXPECT_EQ(image.Draw(*target, all, all, background, reason), kCodecOk) << reason;
    return target;
}

int Channel(std::uint32_t p, int shift) { return int((p >> shift) & 0xFF); }

bool Near(std::uint32_t p, Rgb c, int tol)
{
    return std::abs(Channel(p, 16) - c.r) <= tol && std::abs(Channel(p, 8) - c.g) <= tol &&
           std::abs(Channel(p, 0) - c.b) <= tol;
}

// Mean absolute difference per channel against the photo.
double MeanError(const DeviceBitmap& b)
{
    double sum = 0;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            const std::uint32_t p = b.pixels[std::size_t(y) * b.width + x];
            const Rgb c = Photo(x, y, b.width, b.height);
            sum += std::abs(Channel(p, 16) - c.r) + std::abs(Channel(p, 8) - c.g) + std::abs(Channel(p, 0) - c.b);
        }
    return sum / (3.0 * b.width * b.height);
}

// The photo stored sideways in a JPEG whose EXIF orientation 6 turns it
// upright (uw x uh upright).
void WriteSidewaysJpeg(const std::string& path, int uw, int uh)
{
    // Orientation 6: upright (x, y) is stored at (y, uw - 1 - x) of an uh x uw image.
    WriteJpeg(path, uh, uw, [&](int sx, int sy) { return Photo(uw - 1 - sy, sx, uw, uh); }, {95, false, 6});
}

std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class MoreFormats : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = std::make_unique<TempDir>();
        WritePng(Path("photo.png"), 96, 64);
        WriteSidewaysJpeg(Path("turned.jpg"), 48, 80);
        for (const char* name : {"photo.heic", "photo.avif", "photo.webp", "photo.tif"})
            ASSERT_TRUE(EncodeWith(Path("photo.png"), Path(name))) << name;
        for (const char* name : {"turned.heic", "turned.avif", "turned.webp", "turned.tif"})
            ASSERT_TRUE(EncodeWith(Path("turned.jpg"), Path(name))) << name;
    }
    static void TearDownTestSuite() { dir_.reset(); }
    static std::string Path(const std::string& name) { return dir_->File(name); }
    static std::unique_ptr<TempDir> dir_;
};
std::unique_ptr<TempDir> MoreFormats::dir_;
} // namespace

TEST_F(MoreFormats, EachFormatDecodesToThePhotoWithinTolerance)
{
    // Lossy encoders at their usual photo quality stay within a few levels
    // on average; lossless TIFF is exact.
    const struct {
        const char* name;
        const char* decoder;
        double meanTolerance;
    } cases[] = {{"photo.heic", "libheif", 4}, {"photo.avif", "libheif", 4}, {"photo.webp", "Qt", 4},
                 {"photo.tif", "Qt", 0.01}};
    for (const auto& c : cases) {
        auto image = Open(Path(c.name));
        ASSERT_TRUE(image) << c.name;
        EXPECT_STREQ(image->Decoder(), c.decoder) << c.name;
        ASSERT_EQ(image->Width(), 96) << c.name;
        ASSERT_EQ(image->Height(), 64) << c.name;
        auto drawn = DrawWhole(*image);
        EXPECT_LE(MeanError(*drawn), c.meanTolerance) << c.name;
        for (auto [x, y] : {std::pair{10, 10}, {85, 10}, {10, 53}, {85, 53}})
            EXPECT_TRUE(Near(drawn->pixels[std::size_t(y) * 96 + x], Photo(x, y, 96, 64), 24))
                << c.name << " at " << x << "," << y;
        for (std::uint32_t p : drawn->pixels)
            ASSERT_EQ(p >> 24, 0xFFu) << c.name << ": every pixel is opaque";
    }
}

TEST_F(MoreFormats, CameraTurnIsAppliedOnceWhateverCarriesIt)
{
    // heif-enc keeps the EXIF note only; avifenc writes the turn as a HEIF
    // transformation and keeps the EXIF note too; cwebp keeps the EXIF
    // chunk; ImageMagick writes TIFF's own orientation tag.
    EXPECT_FALSE(HeifHasTransformations(ReadAll(Path("turned.heic"))));
    EXPECT_TRUE(HeifHasTransformations(ReadAll(Path("turned.avif"))));
    EXPECT_EQ(ReadPhotoExif(Path("turned.webp")).orientation, 6);
    for (const char* name : {"turned.heic", "turned.avif", "turned.webp", "turned.tif"}) {
        auto image = Open(Path(name));
        ASSERT_TRUE(image) << name;
        ASSERT_EQ(image->Width(), 48) << name;
        ASSERT_EQ(image->Height(), 80) << name;
        auto drawn = DrawWhole(*image);
        for (auto [x, y] : {std::pair{6, 6}, {41, 6}, {6, 73}, {41, 73}})
            EXPECT_TRUE(Near(drawn->pixels[std::size_t(y) * 48 + x], Photo(x, y, 48, 80), 30))
                << name << " at " << x << "," << y << std::hex << " got " << drawn->pixels[std::size_t(y) * 48 + x];

        // AutoRotate off shows the stored picture; a HEIF transformation
        // belongs to the picture and stays.
        auto stored = Open(Path(name), false);
        ASSERT_TRUE(stored) << name;
        const bool ownTurn = std::string(name) == "turned.avif";
        EXPECT_EQ(stored->Width(), ownTurn ? 48 : 80) << name;
    }
}

TEST_F(MoreFormats, LoaderFitsHeicLikeAnyPhoto)
{
    SetDisplayDepth(24);
    ScopedTestLog log;
    CSaverSettings settings;
    settings.Random = 0;
    settings.SaveLastImage = 0;
    settings.KeepAspectRatio = 1;
    settings.CubeTransp = 1;
    settings.ImageFiles = settings.AllImageFiles = {Path("photo.heic")};
    CBitmapEx target;
    ASSERT_EQ(LoadNewImage(target, 48, settings, true), 0);
    ASSERT_EQ(target.width, 48);
    ASSERT_EQ(target.height, 48);
    auto at = [&](int x, int y) { return target.bitmap->pixels[std::size_t(y) * 48 + x]; };
    // 96 x 64 kept whole: 48 x 32 in the middle, transparent bands of 8 rows.
    EXPECT_EQ(at(20, 0), 0x00FF00FFu);
    EXPECT_EQ(at(20, 7), 0x00FF00FFu);
    EXPECT_EQ(at(20, 40), 0x00FF00FFu);
    EXPECT_TRUE(Near(at(4, 12), {220, 30, 30}, 40));
    EXPECT_TRUE(Near(at(43, 35), {225, 225, 225}, 40));

    // Without keeping the aspect the excess is cropped, as the log says.
    settings.KeepAspectRatio = 0;
    settings.ImageFiles = settings.AllImageFiles;
    CBitmapEx cropped;
    ASSERT_EQ(LoadNewImage(cropped, 48, settings, true), 0);
    const auto messages = log.Messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(),
                        "ResizeBmp_gdiplus: Image Cropped left-right 8 px (64,64)"),
              messages.end())
        << ::testing::PrintToString(messages);
}

TEST_F(MoreFormats, HeifThumbnailIsUsedOnlyWhenItCoversTheFit)
{
    WritePng(Path("big.png"), 640, 480);
    ASSERT_TRUE(EncodeWith(Path("big.png"), Path("thumbed.heic"), "-t 160"));
    HeifDecoder decoder;
    ASSERT_TRUE(decoder.Open(Path("thumbed.heic"))) << decoder.Error();
    std::vector<std::uint32_t> pixels(400 * 300);
    ASSERT_TRUE(decoder.DecodeInto({0, 0, 640, 480}, 100, 75, 0, {pixels.data(), 1, 100}));
    EXPECT_EQ(decoder.Decoded().width, 160);
    EXPECT_TRUE(Near(pixels[10 * 100 + 10], Photo(64, 64, 640, 480), 40));
    ASSERT_TRUE(decoder.DecodeInto({0, 0, 640, 480}, 400, 300, 0, {pixels.data(), 1, 400}));
    EXPECT_EQ(decoder.Decoded().width, 640);
    // A crop of a quarter needs more than the thumbnail holds.
    ASSERT_TRUE(decoder.DecodeInto({0, 0, 320, 240}, 100, 75, 0, {pixels.data(), 1, 100}));
    EXPECT_EQ(decoder.Decoded().width, 640);

    using S = HeifDecoder::Size;
    const S sizes[] = {{4000, 3000}, {320, 240}, {1024, 768}, {2048, 1536}, {1000, 1000}};
    EXPECT_EQ(HeifDecoder::ChooseImage(sizes, {0, 0, 4000, 3000}, 960, 720), 2u);
    EXPECT_EQ(HeifDecoder::ChooseImage(sizes, {500, 0, 3000, 3000}, 960, 960), 3u);
    EXPECT_EQ(HeifDecoder::ChooseImage(sizes, {0, 0, 4000, 3000}, 1200, 900), 3u);
    EXPECT_EQ(HeifDecoder::ChooseImage(sizes, {0, 0, 4000, 3000}, 2100, 1575), 0u);
    // A square thumbnail of an oblong photo is never taken.
    const S square[] = {{4000, 3000}, {1000, 1000}};
    EXPECT_EQ(HeifDecoder::ChooseImage(square, {0, 0, 4000, 3000}, 100, 75), 0u);
}

TEST_F(MoreFormats, TranslucentHeifLiesOverTheBackground)
{
    WritePng(Path("glass.png"), 64, 32, true);
    ASSERT_TRUE(EncodeWith(Path("glass.png"), Path("glass.heic")));
    auto image = Open(Path("glass.heic"));
    ASSERT_TRUE(image);
    auto drawn = DrawWhole(*image, 0x000000FFu);
    EXPECT_TRUE(Near(drawn->pixels[8 * 64 + 8], {220, 30, 30}, 40)) << std::hex << drawn->pixels[8 * 64 + 8];
    EXPECT_TRUE(Near(drawn->pixels[8 * 64 + 56], {0, 0, 255}, 40)) << std::hex << drawn->pixels[8 * 64 + 56];
}

TEST_F(MoreFormats, MalformedFilesAreRefusedWithTheLoaderLines)
{
    const std::vector<std::uint8_t> heic = ReadAll(Path("photo.heic"));
    const std::vector<std::uint8_t> avif = ReadAll(Path("photo.avif"));
    const std::vector<std::uint8_t> webp = ReadAll(Path("photo.webp"));
    const std::vector<std::uint8_t> tif = ReadAll(Path("photo.tif"));
    ASSERT_GT(heic.size(), 200u);
    auto head = [](const std::vector<std::uint8_t>& v, std::size_t n) {
        return std::vector<std::uint8_t>(v.begin(), v.begin() + std::ptrdiff_t(std::min(n, v.size())));
    };
    auto zeroTail = [](std::vector<std::uint8_t> v, std::size_t keep) {
        std::fill(v.begin() + std::ptrdiff_t(keep), v.end(), 0);
        return v;
    };
    std::vector<std::uint8_t> hugeBox = head(heic, 40);
    hugeBox[24] = 0x7F;   // the box after "ftyp" claims two gigabytes
    // Found by fuzzing: a 52 x 24 image whose grid asks libheif for a
    // 26725 x 30323 canvas (9 GB and half a minute before it was bounded).
    const std::vector<std::uint8_t> canvasLie =
        ReadAll(std::string(TSV_SOURCE_DIR) + "/tests/imaging/codec/fixtures/grid-canvas-lie.heic");
    ASSERT_EQ(canvasLie.size(), 904u);
    const std::pair<const char*, std::vector<std::uint8_t>> broken[] = {
        {"ftyp-only.heic", head(heic, 32)},
        {"half.heic", head(heic, heic.size() / 2)},
        {"zeroed.heic", zeroTail(heic, 48)},
        {"huge-box.heic", hugeBox},
        {"grid-canvas-lie.heic", canvasLie},
        {"half.avif", head(avif, avif.size() / 2)},
        {"head.webp", head(webp, 20)},
        {"head.tif", head(tif, 8)},
    };
    CSaverSettings settings;
    for (const auto& [name, bytes] : broken) {
        WriteBytes(Path(name), bytes);
        ScopedTestLog log;
        CBitmapEx target;
        EXPECT_EQ(LoadNewBitmap_gdiplus(target, Path(name), "", 64, settings), -1) << name;
        EXPECT_FALSE(target.bitmap) << name;
        const auto messages = log.Messages();
        ASSERT_FALSE(messages.empty()) << name;
        EXPECT_TRUE(messages.front().rfind("Error ", 0) == 0 || messages.front().rfind("ResizeBmp_gdiplus", 0) == 0)
            << name << ": " << messages.front();
    }
}

TEST(HeifBoxes, BrandsAndTransformationsAreFoundOnlyInWellFormedBoxes)
{
    auto box = [](const char* type, std::vector<std::uint8_t> payload, bool full = false) {
        if (full)
            payload.insert(payload.begin(), 4, 0);
        const std::uint32_t size = std::uint32_t(payload.size() + 8);
        std::vector<std::uint8_t> b = {std::uint8_t(size >> 24), std::uint8_t(size >> 16), std::uint8_t(size >> 8),
                                       std::uint8_t(size)};
        for (int i = 0; i < 4; ++i)   // GCC 12 misreads an insert of the literal as out of bounds
            b.push_back(std::uint8_t(type[i]));
        b.insert(b.end(), payload.begin(), payload.end());
        return b;
    };
    auto cat = [](std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::vector<std::uint8_t> brandsHeic = {'h', 'e', 'i', 'c', 0, 0, 0, 0, 'm', 'i', 'f', '1'};
    const std::vector<std::uint8_t> brandsMp4 = {'i', 's', 'o', 'm', 0, 0, 0, 0, 'm', 'p', '4', '1'};
    const std::vector<std::uint8_t> brandsLate = {'i', 's', 'o', 'm', 0, 0, 0, 0, 'a', 'v', 'i', 'f'};
    EXPECT_TRUE(LooksLikeHeif(box("ftyp", brandsHeic)));
    EXPECT_TRUE(LooksLikeHeif(box("ftyp", brandsLate)));
    EXPECT_FALSE(LooksLikeHeif(box("ftyp", brandsMp4)));
    EXPECT_FALSE(LooksLikeHeif(box("free", brandsHeic)));
    EXPECT_FALSE(LooksLikeHeif(std::vector<std::uint8_t>{0, 0, 0, 8, 'f', 't', 'y', 'p'}));

    const auto ipco = [&](const char* property) { return box("ipco", box(property, {0, 0, 0, 1})); };
    const auto file = [&](const char* property) {
        return cat(box("ftyp", brandsHeic), box("meta", cat(box("hdlr", {}), box("iprp", ipco(property))), true));
    };
    EXPECT_TRUE(HeifHasTransformations(file("irot")));
    EXPECT_TRUE(HeifHasTransformations(file("imir")));
    EXPECT_FALSE(HeifHasTransformations(file("ispe")));
    // A box that claims more than the file holds ends the search.
    std::vector<std::uint8_t> lying = file("irot");
    lying[box("ftyp", brandsHeic).size() + 3] += 100;
    EXPECT_FALSE(HeifHasTransformations(lying));
    // Sizes 0 (to the end) and 1 (64-bit) are followed.
    std::vector<std::uint8_t> toEnd = file("irot");
    const std::size_t meta = box("ftyp", brandsHeic).size();
    toEnd[meta] = toEnd[meta + 1] = toEnd[meta + 2] = toEnd[meta + 3] = 0;
    EXPECT_TRUE(HeifHasTransformations(toEnd));
    EXPECT_FALSE(HeifHasTransformations({}));
}

TEST(WebpExif, OrientationIsReadWithOrWithoutTheJpegPrefix)
{
    TempDir dir;
    auto riff = [](std::vector<std::uint8_t> exif) {
        auto le32 = [](std::vector<std::uint8_t>& v, std::uint32_t x) {
            for (int i = 0; i < 4; ++i)
                v.push_back(std::uint8_t(x >> (8 * i)));
        };
        std::vector<std::uint8_t> body = {'W', 'E', 'B', 'P', 'V', 'P', '8', 'X'};
        le32(body, 10);
        body.insert(body.end(), 10, 0);
        body.insert(body.end(), {'A', 'L', 'P', 'H'});
        le32(body, 3);
        body.insert(body.end(), {1, 2, 3, 0});   // odd size: one pad byte
        body.insert(body.end(), {'E', 'X', 'I', 'F'});
        le32(body, std::uint32_t(exif.size()));
        body.insert(body.end(), exif.begin(), exif.end());
        std::vector<std::uint8_t> file = {'R', 'I', 'F', 'F'};
        le32(file, std::uint32_t(body.size()));
        file.insert(file.end(), body.begin(), body.end());
        return file;
    };
    std::vector<std::uint8_t> withPrefix = ExifWithOrientation(8, true);
    std::vector<std::uint8_t> bare(withPrefix.begin() + 6, withPrefix.end());
    WriteBytes(dir.File("a.webp"), riff(withPrefix));
    WriteBytes(dir.File("b.webp"), riff(bare));
    EXPECT_EQ(ReadPhotoExif(dir.File("a.webp")).orientation, 8);
    EXPECT_EQ(ReadPhotoExif(dir.File("b.webp")).orientation, 8);
    // A chunk claiming more than the file holds, or no file at all: as stored.
    std::vector<std::uint8_t> cut = riff(bare);
    cut.resize(cut.size() - 10);
    WriteBytes(dir.File("c.webp"), cut);
    EXPECT_EQ(ReadPhotoExif(dir.File("c.webp")).orientation, 1);
    EXPECT_EQ(ReadPhotoExif(dir.File("none.webp")).orientation, 1);
}
