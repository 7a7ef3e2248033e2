// The date taken read from photos of every format that carries EXIF, made at
// test time the way users' files are made: a camera JPEG, converted by
// Debian's HEIC, AVIF and WebP encoders and by ImageMagick to PNG, and a TIFF
// written through libtiff.
#include "imaging/codec/photo_exif.h"

#include "imaging/encoder_tools.h"
#include "imaging/exif_fixtures.h"
#include "imaging/test_images.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
constexpr TakenDate kMarch12{2019, 3, 12};
constexpr TakenDate kJanuary2{2020, 1, 2};

PixelFn Scene()
{
    return [](int x, int y) { return Rgb{std::uint8_t(x * 4), std::uint8_t(y * 4), 120}; };
}

bool ConvertWithImageMagick(const std::string& from, const std::string& to)
{
    return std::system(("convert " + ShellQuoted(from) + " " + ShellQuoted(to) + " >/dev/null 2>&1").c_str()) == 0;
}

class PhotoExif : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = std::make_unique<TempDir>();
        const ExifSpec camera{1, "2020:01:02 03:04:05", "2019:03:12 14:30:00"};
        WriteJpeg(Path("camera.jpg"), 64, 48, Scene(), {90, false, 0, false, ExifBlock(camera)});
        const ExifSpec edited{0, "2020:01:02 03:04:05", ""};
        WriteJpeg(Path("edited.jpg"), 64, 48, Scene(), {90, false, 0, false, ExifBlock(edited)});
        WriteJpeg(Path("turned.jpg"), 64, 48, Scene(), {90, false, 6});
        WriteJpeg(Path("plain.jpg"), 64, 48, Scene());
        for (const char* ext : {".heic", ".avif", ".webp"}) {
            ASSERT_TRUE(EncodeWith(Path("camera.jpg"), Path(std::string("camera") + ext))) << ext;
            ASSERT_TRUE(EncodeWith(Path("plain.jpg"), Path(std::string("plain") + ext))) << ext;
        }
        ASSERT_TRUE(ConvertWithImageMagick(Path("camera.jpg"), Path("camera.png")));
        ASSERT_TRUE(ConvertWithImageMagick(Path("plain.jpg"), Path("plain.png")));
        ASSERT_TRUE(WriteTiffWithDates(Path("camera.tif"), 64, 48, "2020:01:02 03:04:05", "2019:03:12 14:30:00"));
        ASSERT_TRUE(WriteTiffWithDates(Path("scanned.tif"), 64, 48, "2020:01:02 03:04:05", ""));
        ASSERT_TRUE(WriteTiffWithDates(Path("plain.tif"), 64, 48, "", ""));
    }
    static void TearDownTestSuite() { dir_.reset(); }
    static std::string Path(const std::string& name) { return dir_->File(name); }
    static std::unique_ptr<TempDir> dir_;
};
std::unique_ptr<TempDir> PhotoExif::dir_;
} // namespace

TEST_F(PhotoExif, EveryFormatGivesTheDayTheCameraTookThePhoto)
{
    for (const char* name : {"camera.jpg", "camera.heic", "camera.avif", "camera.webp", "camera.png", "camera.tif"})
        EXPECT_EQ(ReadPhotoExif(Path(name)).taken, kMarch12) << name;
    // Without DateTimeOriginal the last change counts, in EXIF and in TIFF's own tag.
    EXPECT_EQ(ReadPhotoExif(Path("edited.jpg")).taken, kJanuary2);
    EXPECT_EQ(ReadPhotoExif(Path("scanned.tif")).taken, kJanuary2);
}

TEST_F(PhotoExif, NoExifOrNoDateGivesNoDate)
{
    for (const char* name : {"plain.jpg", "plain.heic", "plain.avif", "plain.webp", "plain.png", "plain.tif",
                             "turned.jpg", "missing.jpg"})
        EXPECT_FALSE(ReadPhotoExif(Path(name)).taken) << name;
    // The same block still turns the photo.
    EXPECT_EQ(ReadPhotoExif(Path("turned.jpg")).orientation, 6);
}
