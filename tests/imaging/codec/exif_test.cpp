// The EXIF facts: orientation and date taken from blocks laid out by hand,
// the dates cameras write, and the chunk walks of PNG and WebP.
#include "imaging/codec/exif.h"
#include "imaging/codec/photo_exif.h"
#include "imaging/own/byte_source.h"

#include "imaging/exif_fixtures.h"
#include "imaging/test_images.h"

#include <gtest/gtest.h>

#include <span>

namespace {
constexpr TakenDate kMarch12{2019, 3, 12};
constexpr TakenDate kJanuary2{2020, 1, 2};

ExifFacts FactsOf(const std::vector<std::uint8_t>& bytes)
{
    MemorySource source(bytes);
    return ReadPhotoExif(source);
}

void Put32(std::vector<std::uint8_t>& v, std::uint32_t x, bool big)
{
    for (int i = 0; i < 4; ++i)
        v.push_back(std::uint8_t(x >> (big ? 24 - 8 * i : 8 * i)));
}

void Chunk(std::vector<std::uint8_t>& file, const char* type, const std::vector<std::uint8_t>& data, bool png)
{
    if (png) {
        Put32(file, std::uint32_t(data.size()), true);
        file.insert(file.end(), type, type + 4);
    } else {
        file.insert(file.end(), type, type + 4);
        Put32(file, std::uint32_t(data.size()), false);
    }
    file.insert(file.end(), data.begin(), data.end());
    if (png)
        Put32(file, 0, true);   // CRC, which nothing here checks
    else if (data.size() & 1)
        file.push_back(0);
}
} // namespace

TEST(Exif, OrientationIsReadInBothByteOrders)
{
    for (int o = 1; o <= 8; ++o) {
        EXPECT_EQ(ParseExif(ExifWithOrientation(o, false)).orientation, o);
        EXPECT_EQ(ParseExif(ExifWithOrientation(o, true)).orientation, o);
    }
    EXPECT_EQ(ParseExif(ExifWithOrientation(9)).orientation, 1);
    EXPECT_EQ(ParseExif(ExifWithOrientation(0)).orientation, 1);
}

TEST(Exif, DateTakenIsTheOriginalElseTheLastChange)
{
    for (bool big : {false, true}) {
        for (bool prefix : {true, false}) {
            ExifSpec spec{6, "2020:01:02 03:04:05", "2019:03:12 14:30:00", big, prefix};
            ExifFacts facts = ParseExif(ExifBlock(spec));
            EXPECT_EQ(facts.taken, kMarch12) << big << prefix;
            EXPECT_EQ(facts.orientation, 6);
            spec.dateTimeOriginal.clear();
            EXPECT_EQ(ParseExif(ExifBlock(spec)).taken, kJanuary2) << big << prefix;
        }
    }
    // Written in the first directory, as some writers do, it still counts.
    EXPECT_EQ(ParseExif(ExifBlock({0, "2020:01:02 03:04:05", "2019:03:12 14:30:00", false, true, true})).taken,
              kMarch12);
    // A camera without a clock writes zeros or blanks: the other date counts.
    EXPECT_EQ(ParseExif(ExifBlock({0, "2020:01:02 03:04:05", "0000:00:00 00:00:00"})).taken, kJanuary2);
    EXPECT_EQ(ParseExif(ExifBlock({0, "2020:01:02 03:04:05", "    :  :     :  :  "})).taken, kJanuary2);
}

TEST(Exif, NoDateIsNeverMadeUp)
{
    // A block without dates stays without one.
    EXPECT_FALSE(ParseExif(ExifWithOrientation(6)).taken);
    EXPECT_FALSE(ParseExif(ExifBlock({3, "", ""})).taken);
    EXPECT_FALSE(ParseExif(ExifBlock({0, "0000:00:00 00:00:00", ""})).taken);
    // Malformed blocks give the defaults.
    auto exif = ExifBlock({6, "2020:01:02 03:04:05", "2019:03:12 14:30:00"});
    EXPECT_EQ(ParseExif(std::span(exif).first(12)).orientation, 1);
    exif[0] = 'X';
    EXPECT_FALSE(ParseExif(exif).taken);
    auto far = ExifWithOrientation(6);
    far[10] = 0xF0;   // IFD offset far outside
    EXPECT_EQ(ParseExif(far).orientation, 1);
    EXPECT_EQ(ParseExif({}).orientation, 1);
    EXPECT_FALSE(ParseExif({}).taken);
}

TEST(Exif, DatesAreTakenOnlyWhenTheyExist)
{
    EXPECT_EQ(ParseExifDate("2019:03:12 14:30:00"), kMarch12);
    EXPECT_EQ(ParseExifDate("2019:03:12"), kMarch12);
    EXPECT_EQ(ParseExifDate("2019-03-12T14:30:00"), kMarch12);
    EXPECT_EQ(ParseExifDate(" 2019/03/12 14:30"), kMarch12);
    EXPECT_EQ(ParseExifDate("2020:02:29 00:00:00"), (TakenDate{2020, 2, 29}));
    for (const char* bad : {"2019:02:29 00:00:00", "2019:13:01 00:00:00", "2019:00:10 00:00:00",
                            "0000:00:00 00:00:00", "    :  :     :  :  ", "2019:3:12 14:30:00", "2019:03-12",
                            "12.03.2019", ""})
        EXPECT_FALSE(ParseExifDate(bad)) << bad;
}

TEST(PhotoExif, ChunkFormatsAreFoundBeforeOrAfterTheImageData)
{
    const auto exif = ExifBlock({8, "", "2019:03:12 14:30:00", true, false});
    for (bool after : {false, true}) {
        std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        Chunk(png, "IHDR", std::vector<std::uint8_t>(13, 1), true);
        if (!after)
            Chunk(png, "eXIf", exif, true);
        for (int i = 0; i < 50; ++i)
            Chunk(png, "IDAT", std::vector<std::uint8_t>(1000, 7), true);
        if (after)
            Chunk(png, "eXIf", exif, true);
        Chunk(png, "IEND", {}, true);
        const ExifFacts facts = FactsOf(png);
        EXPECT_EQ(facts.taken, kMarch12) << after;
        EXPECT_EQ(facts.orientation, 8) << after;
        // After the end marker, or cut short: nothing.
        std::vector<std::uint8_t> cut(png.begin(), png.end() - 20);
        EXPECT_EQ(FactsOf(cut).taken.has_value(), !after);
    }

    for (bool prefix : {true, false}) {
        std::vector<std::uint8_t> body = {'W', 'E', 'B', 'P'};
        Chunk(body, "VP8X", std::vector<std::uint8_t>(10, 0), false);
        Chunk(body, "VP8L", std::vector<std::uint8_t>(333, 5), false);   // odd: one pad byte
        Chunk(body, "EXIF", ExifBlock({0, "2019:03:12 14:30:00", "", false, prefix}), false);
        std::vector<std::uint8_t> webp = {'R', 'I', 'F', 'F'};
        Put32(webp, std::uint32_t(body.size()), false);
        webp.insert(webp.end(), body.begin(), body.end());
        EXPECT_EQ(FactsOf(webp).taken, kMarch12) << prefix;
        webp.erase(webp.end() - 10, webp.end());
        EXPECT_FALSE(FactsOf(webp).taken) << prefix;
    }
    // Formats without EXIF, and bytes that are no format at all.
    EXPECT_FALSE(FactsOf({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}).taken);
    EXPECT_FALSE(FactsOf({}).taken);
}
