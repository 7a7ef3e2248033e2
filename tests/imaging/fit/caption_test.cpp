// Captions: what they say (the locale's long date without the weekday, the
// folder), where they go (a share of the face, along the bottom of the
// picture inside any bands), and the pixels the loader draws on both paths.
#include "imaging/fit/caption_band.h"
#include "imaging/fit/caption_text.h"
#include "imaging/fit/image_loader.h"

#include "app/saver_settings.h"
#include "app/test_log.h"
#include "imaging/fit/loader_fixture.h"
#include "imaging/exif_fixtures.h"
#include "imaging/own/bitmap_ex.h"
#include "imaging/own/device_bitmap.h"
#include "imaging/test_images.h"

#include <QDate>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {
constexpr TakenDate kMarch12{2019, 3, 12};

TEST(CaptionLayout, AShareOfTheFaceAlongTheBottomOfThePicture)
{
    CaptionLayout l = LayOutCaption(960, {0, 0, 960, 960}, 960, 960);
    ASSERT_TRUE(l.shown);
    EXPECT_EQ(l.fontPixels, 48);
    EXPECT_EQ(l.band, (FitRect{0, 883, 960, 77}));
    // Half the face, half the text.
    l = LayOutCaption(480, {0, 0, 480, 480}, 480, 480);
    EXPECT_EQ(l.fontPixels, 24);
    EXPECT_EQ(l.band, (FitRect{0, 442, 480, 38}));
    // A small preview has none.
    EXPECT_FALSE(LayOutCaption(127, {0, 0, 127, 127}, 127, 127).shown);
    EXPECT_TRUE(LayOutCaption(128, {0, 0, 128, 128}, 128, 128).shown);
    // Letter-boxed: on the picture, not on the bands.
    l = LayOutCaption(960, {0, 120, 960, 720}, 960, 960);
    EXPECT_EQ(l.band, (FitRect{0, 763, 960, 77}));
    l = LayOutCaption(960, {240, 0, 480, 960}, 960, 960);
    EXPECT_EQ(l.band, (FitRect{240, 883, 480, 77}));
    // A flat panorama keeps half of itself clear; one flatter still has no room.
    l = LayOutCaption(960, {0, 450, 960, 60}, 960, 960);
    ASSERT_TRUE(l.shown);
    EXPECT_LE(l.band.h, 30);
    EXPECT_EQ(l.band.y + l.band.h, 510);
    EXPECT_FALSE(LayOutCaption(960, {0, 475, 960, 10}, 960, 960).shown);
    EXPECT_FALSE(LayOutCaption(960, {450, 0, 40, 960}, 960, 960).shown);
    // A photo handed on at its own size is stretched over the face: the band
    // is laid out on the face and scaled to the bitmap.
    l = LayOutCaption(960, {0, 0, 480, 320}, 480, 320);
    ASSERT_TRUE(l.shown);
    EXPECT_DOUBLE_EQ(l.scaleX, 0.5);
    EXPECT_DOUBLE_EQ(l.scaleY, 1.0 / 3);
    EXPECT_EQ(l.fontPixels, 48);
    EXPECT_EQ(l.band, (FitRect{0, 294, 480, 26}));
}

TEST(CaptionText, TheWeekdayLeavesWithWhatJoinedIt)
{
    const struct {
        const char* from;
        const char* to;
    } cases[] = {
        {"dddd, d MMMM yyyy", "d MMMM yyyy"},
        {"dddd, MMMM d, yyyy", "MMMM d, yyyy"},
        {"dddd, d 'de' MMMM 'de' yyyy", "d 'de' MMMM 'de' yyyy"},
        {"yyyy年M月d日dddd", "yyyy年M月d日"},
        {"yyyy년 M월 d일 dddd", "yyyy년 M월 d일"},
        {"yyyy. MMMM d., dddd", "yyyy. MMMM d."},
        {"yyyy 'm'. MMMM d 'd'., dddd", "yyyy 'm'. MMMM d 'd'."},
        {"yyyy 'оны' MMMM'ын' d, dddd 'гараг'", "yyyy 'оны' MMMM'ын' d"},
        {"d 'de' MMMM 'de' 'su' yyyy, 'de' dddd", "d 'de' MMMM 'de' 'su' yyyy"},
        {"yyyy 'сыл' MMMM d 'күнэ', dddd", "yyyy 'сыл' MMMM d 'күнэ'"},
        {"ddddที่ d MMMM yyyy", "d MMMM yyyy"},
        {"dddd\u060C d MMMM yyyy", "d MMMM yyyy"},
        {"d MMMM yyyy dddd", "d MMMM yyyy"},
        {"ddd d MMM yyyy", "d MMM yyyy"},
        {"d MMMM yyyy", "d MMMM yyyy"},
        {"'dddd' d MMMM", "'dddd' d MMMM"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DateFormatWithoutWeekday(c.from), c.to) << c.from;
}

TEST(CaptionText, TheLocalesLongDateWithoutItsWeekday)
{
    EXPECT_EQ(LongDateText(kMarch12, QLocale("en_GB")), "12 March 2019");
    EXPECT_EQ(LongDateText(kMarch12, QLocale("en_US")), "March 12, 2019");
    EXPECT_EQ(LongDateText(kMarch12, QLocale("de_DE")), "12. März 2019");
    EXPECT_EQ(LongDateText(kMarch12, QLocale("fr_FR")), "12 mars 2019");
    EXPECT_EQ(LongDateText(kMarch12, QLocale("ja_JP")), "2019年3月12日");
    EXPECT_EQ(LongDateText(kMarch12, QLocale("hu_HU")), "2019. március 12.");
    // In every locale Qt knows: the year, and no weekday.
    const auto locales = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    for (const QLocale& locale : locales) {
        const QString text = LongDateText(kMarch12, locale);
        EXPECT_TRUE(text.contains(locale.toString(QDate(2019, 3, 12), "yyyy")))
            << locale.name().toStdString() << ": " << text.toStdString();
        // (Breton calls Tuesday and March alike.)
        const QString tuesday = locale.dayName(2, QLocale::LongFormat);
        if (!locale.monthName(3, QLocale::LongFormat).contains(tuesday, Qt::CaseInsensitive)) {
            EXPECT_FALSE(text.contains(tuesday, Qt::CaseInsensitive))
                << locale.name().toStdString() << ": " << text.toStdString();
        }
    }
    EXPECT_TRUE(LongDateText({2019, 2, 30}, QLocale("en_GB")).isEmpty());
}

TEST(CaptionText, TheLineKeepsTheDateWholeAndCutsTheFolderAtItsStart)
{
    auto advance = [](const QString& t) { return 10.0 * double(t.size()); };
    const CaptionParts both{"12 March 2019", "2019/Rome"};
    EXPECT_EQ(FitCaptionLine(both, 1000, advance), "12 March 2019 \u00B7 2019/Rome");
    // 13 + 3 characters of date and separator leave room for 6 of the folder.
    EXPECT_EQ(FitCaptionLine(both, 220, advance), "12 March 2019 \u00B7 \u2026/Rome");
    // No room for a useful folder: the date alone, then the date cut.
    EXPECT_EQ(FitCaptionLine(both, 180, advance), "12 March 2019");
    EXPECT_EQ(FitCaptionLine(both, 100, advance), "12 March\u2026");
    EXPECT_EQ(FitCaptionLine({"", "2019/Rome"}, 60, advance), "\u2026/Rome");
    EXPECT_EQ(FitCaptionLine({"12 March 2019", ""}, 1000, advance), "12 March 2019");
    EXPECT_EQ(FitCaptionLine(both, 5, advance), "");
}

int Luma(std::uint32_t p) { return (((p >> 16) & 0xFF) * 3 + ((p >> 8) & 0xFF) * 6 + (p & 0xFF)) / 10; }

struct Region {
    double meanLuma = 0;
    int brightest = 0;
};
Region Measure(const DeviceBitmap& b, int y0, int y1, int x0 = 0, int x1 = -1)
{
    if (x1 < 0)
        x1 = b.width;
    Region r;
    double sum = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const int l = Luma(b.pixels[std::size_t(y) * b.width + x]);
            sum += l;
            r.brightest = std::max(r.brightest, l);
        }
    r.meanLuma = sum / (double(y1 - y0) * (x1 - x0));
    return r;
}

bool SameRows(const DeviceBitmap& a, const DeviceBitmap& b, int y0, int y1)
{
    return std::equal(a.pixels.begin() + std::ptrdiff_t(y0) * a.width, a.pixels.begin() + std::ptrdiff_t(y1) * a.width,
                      b.pixels.begin() + std::ptrdiff_t(y0) * b.width);
}

struct CaptionLoad : LoaderTest {
    std::string Photo(const std::string& name, int w, int h, bool dated)
    {
        const std::filesystem::path path = dir.File(name);
        std::filesystem::create_directories(path.parent_path());
        JpegOptions o{92, false, 0, false, {}};
        if (dated)
            o.exif = ExifBlock({0, "2020:01:02 03:04:05", "2019:03:12 14:30:00"});
        WriteJpeg(path.string(), w, h, [](int, int) { return Rgb{128, 128, 128}; }, o);
        return path.string();
    }
    std::unique_ptr<DeviceBitmap> Load(const std::string& file, int size, int caption, bool codec = true)
    {
        settings.Caption = caption;
        settings.ImageFiles = {file};
        settings.AllImageFiles = settings.ImageFiles;
        CBitmapEx target;
        EXPECT_EQ(LoadNewImage(target, size, settings, codec), 0);
        std::unique_ptr<DeviceBitmap> bitmap;
        std::shared_ptr<const DevicePalette> palette;
        PackedDib dib;
        target.Detach(&dib, &bitmap, &palette);
        return bitmap;
    }
    std::vector<std::string> CaptionLines() const
    {
        std::vector<std::string> out;
        for (const std::string& m : log.Messages())
            if (m.rfind("DrawCaption:", 0) == 0)
                out.push_back(m);
        return out;
    }
    static std::string Written(const QString& line) { return "DrawCaption: \"" + line.toStdString() + "\""; }
};
} // namespace

TEST_F(CaptionLoad, TheDateIsWrittenWhiteOnADarkBandAtTheBottomOfThePicture)
{
    const std::string photo = Photo("dated.jpg", 1600, 1200, true);
    for (bool codec : {true, false}) {
        const std::size_t before = CaptionLines().size();
        const auto plain = Load(photo, 512, 0, codec);
        EXPECT_EQ(CaptionLines().size(), before) << "Caption 0 logs nothing of captions";
        const auto captioned = Load(photo, 512, 1, codec);
        ASSERT_TRUE(plain && captioned);
        ASSERT_EQ(captioned->width, 512);
        const CaptionLayout l = LayOutCaption(512, {0, 0, 512, 512}, 512, 512);
        // Above the band the photo is untouched; the band is darker, with white text in it.
        EXPECT_TRUE(SameRows(*plain, *captioned, 0, l.band.y)) << codec;
        const Region above = Measure(*plain, l.band.y, 512);
        const Region band = Measure(*captioned, l.band.y, 512);
        EXPECT_NEAR(above.meanLuma, 128, 3);
        EXPECT_LT(band.meanLuma, 100) << codec;
        EXPECT_GE(band.brightest, 240) << codec;
        // The text is centred: nothing white near either end of the band.
        EXPECT_LT(Measure(*captioned, l.band.y, 512, 0, 64).brightest, 80) << codec;
        EXPECT_LT(Measure(*captioned, l.band.y, 512, 448, 512).brightest, 80) << codec;
        for (std::uint32_t p : captioned->pixels)
            ASSERT_EQ(p >> 24, 0xFFu);
        ASSERT_EQ(CaptionLines().size(), before + 1);
        EXPECT_EQ(CaptionLines().back(), Written(LongDateText(kMarch12, QLocale::system())));
    }
}

TEST_F(CaptionLoad, LetterBoxBandsStayClear)
{
    // 2:1 into 512: the picture is rows 128 to 383 on either path.
    const std::string photo = Photo("wide.jpg", 2000, 1000, true);
    settings.KeepAspectRatio = 1;
    settings.CubeTransp = 1;
    const auto codec = Load(photo, 512, 2, true);
    ASSERT_TRUE(codec);
    const CaptionLayout l = LayOutCaption(512, {0, 128, 512, 256}, 512, 512);
    EXPECT_EQ(l.band.y + l.band.h, 384);
    EXPECT_LT(Measure(*codec, l.band.y, 384).meanLuma, 100);
    for (int y : {0, 127, 384, 511})
        for (int x : {0, 256, 511})
            EXPECT_EQ(codec->pixels[std::size_t(y) * 512 + x], 0x00FF00FFu) << "transparent band at " << x << "," << y;
    EXPECT_NEAR(Measure(*codec, 128, l.band.y).meanLuma, 128, 3);

    settings.BackColor = 0x00FFFFFF;
    const auto own = Load(photo, 512, 2, false);
    ASSERT_TRUE(own);
    EXPECT_LT(Measure(*own, l.band.y, 384).meanLuma, 100);
    EXPECT_EQ(Measure(*own, 384, 512).meanLuma, 255);
    EXPECT_EQ(Measure(*own, 0, 128).meanLuma, 255);
}

TEST_F(CaptionLoad, NoExifMeansNoDateAndNoBandForNothing)
{
    const std::string photo = Photo("undated.jpg", 800, 600, false);
    const auto plain = Load(photo, 512, 0);
    const auto dateOnly = Load(photo, 512, 1);
    ASSERT_TRUE(plain && dateOnly);
    EXPECT_EQ(plain->pixels, dateOnly->pixels);
    EXPECT_EQ(CaptionLines(), std::vector<std::string>{"DrawCaption: nothing to write on " + photo});
    // With the folder asked for too, the folder alone.
    const auto folder = Load(photo, 512, 2);
    EXPECT_NE(plain->pixels, folder->pixels);
    const std::string folderName = std::filesystem::path(photo).parent_path().filename().string();
    EXPECT_EQ(CaptionLines().back(), Written(QString::fromStdString(folderName)));
}

TEST_F(CaptionLoad, TheFolderIsNamedBelowTheImageFolder)
{
    const std::string photo = Photo("2019/Rome/p.jpg", 800, 600, true);
    settings.ImageFolders = {dir.File("")};
    Load(photo, 512, 3);
    Load(photo, 512, 2);
    const QString date = LongDateText(kMarch12, QLocale::system());
    EXPECT_EQ(CaptionLines(),
              (std::vector<std::string>{Written("2019/Rome"), Written(date + kCaptionSeparator + "2019/Rome")}));
}

TEST_F(CaptionLoad, APreviewFaceAndSmallPhotosAreHandledAsTheFaceShowsThem)
{
    const std::string photo = Photo("dated.jpg", 800, 600, true);
    EXPECT_EQ(Load(photo, 100, 0)->pixels, Load(photo, 100, 1)->pixels);
    EXPECT_EQ(CaptionLines(),
              std::vector<std::string>{"DrawCaption: no room for a caption (face 100 px, picture 100x100)"});
    // A photo smaller than the face keeps its own size; its band covers the
    // same share of the face once the bitmap is stretched over it.
    const auto small = Load(photo, 1600, 1);
    ASSERT_TRUE(small);
    ASSERT_EQ(small->width, 800);
    const CaptionLayout l = LayOutCaption(1600, {0, 0, 800, 600}, 800, 600);
    EXPECT_EQ(l.band.h, int(std::lround(std::round(std::lround(1600 / 20.0) * 1.6) * 600 / 1600)));
    EXPECT_LT(Measure(*small, 600 - l.band.h, 600).meanLuma, 100);
    EXPECT_NEAR(Measure(*small, 0, 600 - l.band.h).meanLuma, 128, 3);
}

TEST_F(CaptionLoad, APaletteDisplayGetsTheBandInItsOwnColours)
{
    const std::string photo = Photo("dated.jpg", 1600, 1200, true);
    SetDisplayDepth(8);
    const auto plain = Load(photo, 256, 0, false);
    const auto captioned = Load(photo, 256, 1, false);
    ASSERT_TRUE(plain && captioned && captioned->indexed && captioned->palette);
    const CaptionLayout l = LayOutCaption(256, {0, 0, 256, 256}, 256, 256);
    auto luma = [&](const DeviceBitmap& b, int y0, int y1) {
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < 256; ++x) {
                const PaletteEntry e = b.palette->entries[b.indices[std::size_t(y) * 256 + x]];
                sum += (e.red * 3 + e.green * 6 + e.blue) / 10.0;
            }
        return sum / (256.0 * (y1 - y0));
    };
    EXPECT_LT(luma(*captioned, l.band.y, 256), luma(*plain, l.band.y, 256) - 20);
    EXPECT_TRUE(std::equal(plain->indices.begin(), plain->indices.begin() + std::ptrdiff_t(l.band.y) * 256,
                           captioned->indices.begin()));
    SetDisplayDepth(24);
}
