// DecodeDibPixels against Qt's own BMP reader on the same bytes, for every form.
#include "imaging/dib_fixtures.h"
#include "imaging/own/dib_decode.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace dibtest;

namespace {

QImage QtDecode(const std::vector<std::uint8_t>& dib)
{
    const auto file = BmpFile(dib);
    QImage img;
    img.loadFromData(file.data(), int(file.size()), "BMP");
    return img;
}

// Every pixel equal to Qt's, each channel within `tolerance`. With `written`
// (one string per row, '.' for a pixel no RLE code reaches), skipped pixels
// must be colour 0 of the table instead: Qt leaves them undefined.
void ExpectSameAsQt(const std::vector<std::uint8_t>& dib, int tolerance = 0,
                    const std::vector<std::string>& written = {})
{
    DecodedDib d;
    ASSERT_TRUE(DecodeDibPixels(dib, d, DECODE_PIXELS | DECODE_INDICES));
    const QImage q = QtDecode(dib);
    ASSERT_FALSE(q.isNull());
    ASSERT_EQ(q.width(), d.width);
    ASSERT_EQ(q.height(), d.height);
    int bad = 0;
    for (int y = 0; y < d.height && bad < 5; ++y) {
        for (int x = 0; x < d.width && bad < 5; ++x) {
            const std::size_t at = std::size_t(y) * std::size_t(d.width) + std::size_t(x);
            const std::uint32_t ours = d.pixels[at];
            if (!written.empty() && written[std::size_t(y)][std::size_t(x)] == '.') {
                EXPECT_EQ(d.indices[at], 0) << x << "," << y;
                continue;
            }
            const std::uint32_t theirs = q.pixel(x, y);
            EXPECT_EQ(ours >> 24, 0xFFu);
            for (int shift = 0; shift < 24; shift += 8) {
                const int a = int(ours >> shift & 0xFF), b = int(theirs >> shift & 0xFF);
                if (std::abs(a - b) > tolerance) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " ours " << std::hex << ours << " Qt " << theirs;
                    ++bad;
                    break;
                }
            }
        }
    }
}

} // namespace

TEST(DibDecode, IndexedFormsMatchQt)
{
    for (int bits : {1, 4, 8}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, top-down " << topDown);
            DibSpec s{.width = 13, .height = 7, .topDown = topDown, .bits = bits, .colours = 1 << bits};
            ExpectSameAsQt(MakeDib(s, {}, unsigned(bits * 2 + topDown)));
        }
    }
}

TEST(DibDecode, TrueColourFormsMatchQt)
{
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown);
        ExpectSameAsQt(MakeDib({.width = 11, .height = 5, .topDown = topDown, .bits = 24}));
        ExpectSameAsQt(MakeDib({.width = 11, .height = 5, .topDown = topDown, .bits = 32}));
        ExpectSameAsQt(MakeDib({.width = 9, .height = 6, .topDown = topDown, .bits = 16}), 8);
        ExpectSameAsQt(MakeDib({.width = 9, .height = 6, .topDown = topDown, .bits = 16,
                                .compression = BI_BITFIELDS_, .masks = {0xF800, 0x07E0, 0x001F}}), 8);
        ExpectSameAsQt(MakeDib({.width = 7, .height = 4, .topDown = topDown, .bits = 32,
                                .compression = BI_BITFIELDS_, .masks = {0xFF0000, 0xFF00, 0xFF}}));
        ExpectSameAsQt(MakeDib({.width = 7, .height = 4, .topDown = topDown, .bits = 32,
                                .compression = BI_BITFIELDS_, .masks = {0xFF, 0xFF00, 0xFF0000}}));
    }
}

TEST(DibDecode, OptionalTableOfTrueColourImageIsSkipped)
{
    // A 24-bit image may carry a colour table for palette displays; pixels follow it.
    auto dib = MakeDib({.width = 5, .height = 3, .bits = 24, .colours = 3});
    ExpectSameAsQt(dib);
}

TEST(DibDecode, Rle8RunsAbsoluteAndDeltaMatchQt)
{
    const std::vector<std::uint8_t> rle = {
        3, 1,  0, 5, 2, 3, 4, 5, 6, 0,  2, 7,  0, 0, // row 0: run, padded absolute run, run
        10, 8, 0, 0,                                  // row 1: a run up to the edge
        2, 9,  0, 2, 2, 1,  2, 10, 0, 0,              // row 2: delta to row 3, x 4
        0, 4, 11, 12, 13, 14,                         // absolute run on row 4 (after the end of line)
        0, 1,                                         // end of bitmap
    };
    ExpectSameAsQt(MakeDib({.width = 10, .height = 6, .bits = 8, .compression = BI_RLE8_, .colours = 16}, rle), 0,
                   {"..........", "####......", "....##....", "##........", "##########", "##########"});
}

TEST(DibDecode, Rle4RunsAbsoluteAndDeltaMatchQt)
{
    const std::vector<std::uint8_t> rle = {
        5, 0x12,  0, 3, 0x34, 0x50,  0, 0,  // row 0: 1 2 1 2 1, then 3 4 5
        9, 0xAB, 0, 0,                      // row 1: up to the edge
        0, 2, 2, 1, 3, 0xCD,                // delta from row 2 to row 3, x 2
        0, 1,
    };
    ExpectSameAsQt(MakeDib({.width = 9, .height = 4, .bits = 4, .compression = BI_RLE4_, .colours = 16}, rle), 0,
                   {"..###....", ".........", "#########", "########."});
}

// Qt lets such runs spill into the next row, so these are checked by hand.
TEST(DibDecode, RleCodesPastTheEdgesAreClipped)
{
    const std::vector<std::uint8_t> rle8 = {
        6, 1, 0, 0,     // bottom row: 4 written, 2 cut
        0, 6, 2, 3, 4, 5, 6, 7, 0, 0, // absolute run on the next row, cut at the edge
        0, 2, 1, 5,     // delta far below the top: nothing more is written
        3, 9,
    };
    DecodedDib d;
    ASSERT_TRUE(DecodeDibPixels(MakeDib({.width = 4, .height = 3, .bits = 8, .compression = BI_RLE8_, .colours = 16},
                                        rle8), d, DECODE_INDICES));
    EXPECT_EQ(d.indices, (std::vector<std::uint8_t>{0, 0, 0, 0, 2, 3, 4, 5, 1, 1, 1, 1}));

    const std::vector<std::uint8_t> rle4 = {7, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 1};
    ASSERT_TRUE(DecodeDibPixels(MakeDib({.width = 3, .height = 2, .bits = 4, .compression = BI_RLE4_, .colours = 16},
                                        rle4), d, DECODE_INDICES));
    EXPECT_EQ(d.indices, (std::vector<std::uint8_t>{3, 4, 5, 1, 2, 1}));
}

TEST(DibDecode, IndicesAndTableForIndexedForms)
{
    const std::vector<std::uint8_t> rle = {4, 3, 0, 1};
    DecodedDib d;
    ASSERT_TRUE(DecodeDibPixels(MakeDib({.width = 6, .height = 2, .bits = 8, .compression = BI_RLE8_, .colours = 4}, rle),
                                d, DECODE_INDICES));
    EXPECT_TRUE(d.pixels.empty());
    ASSERT_EQ(d.table.size(), 4u);
    // Bottom row first in the file: the run lands on the last row, the rest stays 0.
    EXPECT_EQ(std::vector<std::uint8_t>(d.indices.begin() + 6, d.indices.end()),
              (std::vector<std::uint8_t>{3, 3, 3, 3, 0, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(d.indices.begin(), d.indices.begin() + 6), std::vector<std::uint8_t>(6, 0));
}

TEST(DibDecode, RefusesHeadersThatClaimMoreThanTheBlock)
{
    auto good = MakeDib({.width = 8, .height = 8, .bits = 24});
    DecodedDib d;
    ASSERT_TRUE(DecodeDibPixels(good, d));

    auto shortBlock = good;
    shortBlock.pop_back();
    EXPECT_FALSE(DecodeDibPixels(shortBlock, d));
    EXPECT_TRUE(d.pixels.empty());

    auto edit = [&](auto change) {
        auto bytes = good;
        BitmapInfoHeader h;
        std::memcpy(&h, bytes.data(), sizeof h);
        change(h);
        std::memcpy(bytes.data(), &h, sizeof h);
        return DecodeDibPixels(bytes, d);
    };
    EXPECT_FALSE(edit([](BitmapInfoHeader& h) { h.biWidth = 0x7FFFFFFF; }));
    EXPECT_FALSE(edit([](BitmapInfoHeader& h) { h.biHeight = std::int32_t(0x80000000u); }));
    EXPECT_FALSE(edit([](BitmapInfoHeader& h) { h.biWidth = -8; }));
    EXPECT_FALSE(edit([](BitmapInfoHeader& h) { h.biHeight = 0; }));
    EXPECT_FALSE(edit([](BitmapInfoHeader& h) { h.biBitCount = 7; }));
    EXPECT_FALSE(edit([](BitmapInfoHeader& h) { h.biCompression = 4; }));
    EXPECT_FALSE(edit([](BitmapInfoHeader& h) { h.biCompression = BI_RLE8_; })); // 24-bit RLE
    EXPECT_FALSE(edit([](BitmapInfoHeader& h) { h.biClrUsed = 0x40000000; }));
    EXPECT_FALSE(edit([](BitmapInfoHeader& h) { h.biSize = 0xFFFFFFFF; }));
    EXPECT_FALSE(DecodeDibPixels(std::span<const std::uint8_t>(good.data(), 39), d));
    EXPECT_FALSE(DecodeDibPixels({}, d));
}

TEST(DibDecode, TruncatedRleStopsAtTheEndOfTheBlock)
{
    // An absolute run that claims more bytes than follow, and a delta cut in half.
    for (const std::vector<std::uint8_t>& rle : {std::vector<std::uint8_t>{0, 200, 1, 2},
                                                 std::vector<std::uint8_t>{0, 2, 5}}) {
        DecodedDib d;
        ASSERT_TRUE(DecodeDibPixels(MakeDib({.width = 4, .height = 2, .bits = 8, .compression = BI_RLE8_,
                                             .colours = 256}, rle), d, DECODE_INDICES));
        EXPECT_EQ(d.indices.size(), 8u);
    }
}
