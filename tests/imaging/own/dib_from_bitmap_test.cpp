// DibFromBitmap: the layouts it produces, checked through Qt's reader and the
// renderer's 32-bit top-down form.
#include "imaging/own/dib_from_bitmap.h"

#include "imaging/dib_fixtures.h"
#include "imaging/own/bitmap_ex.h"
#include "imaging/own/dib_decode.h"
#include "imaging/own/palette.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace dibtest;

namespace {

DeviceBitmap Gradient(int w, int h)
{
    DeviceBitmap b;
    b.width = w;
    b.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.pixels.push_back(0xFF000000u | std::uint32_t(x * 20) << 16 | std::uint32_t(y * 30) << 8 | std::uint32_t(x ^ y));
    return b;
}

std::vector<std::uint8_t> Bytes(const PackedDib& dib) { return {dib.data(), dib.data() + dib.size()}; }

} // namespace

TEST(DibFromBitmap, ThirtyTwoBitsTopDownForTheRenderer)
{
    DeviceBitmap b = Gradient(5, 3);
    b.pixels[1] = 0x00FF00FF; // a transparent key pixel keeps its fourth byte
    const PackedDib dib = DibFromBitmap(b, nullptr, 32, true);
    ASSERT_TRUE(dib);
    const BitmapInfoHeader h = dib.Header();
    EXPECT_EQ(h.biHeight, -3);
    EXPECT_EQ(h.biBitCount, 32);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(h.biCompression, BI_RGB_);
    EXPECT_EQ(h.biSizeImage, 5u * 3u * 4u);
    EXPECT_EQ(dib.size(), 40u + 60u);
    EXPECT_EQ(dib.PixelOffset(), 40u);
    const std::uint8_t* p = dib.data() + 40 + 4;
    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{0xFF, 0x00, 0xFF, 0x00}));
    std::uint32_t first;
    std::memcpy(&first, dib.data() + 40, 4);
    EXPECT_EQ(first, b.pixels[0]);
}

TEST(DibFromBitmap, EveryDepthReadsBackThroughQt)
{
    const DeviceBitmap b = Gradient(9, 4);
    for (int depth : {0, 24, 32, 16}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << depth << " " << topDown);
            const PackedDib dib = DibFromBitmap(b, nullptr, depth, topDown);
            ASSERT_TRUE(dib);
            EXPECT_EQ(dib.Header().biBitCount, depth == 0 ? 24 : depth);
            EXPECT_EQ(dib.Header().biHeight < 0, topDown);
            const auto file = BmpFile(Bytes(dib));
            QImage q;
            ASSERT_TRUE(q.loadFromData(file.data(), int(file.size()), "BMP"));
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 9; ++x) {
                    const std::uint32_t want = b.pixels[std::size_t(y * 9 + x)] & (depth == 16 ? 0xF8F8F8u : 0xFFFFFFu);
                    EXPECT_EQ(q.pixel(x, y) & (depth == 16 ? 0xF8F8F8u : 0xFFFFFFu), want) << x << "," << y;
                }
            }
        }
    }
}

TEST(DibFromBitmap, IndexedBitmapsKeepTheirIndicesAndTable)
{
    auto pal = std::make_shared<DevicePalette>();
    for (int i = 0; i < 40; ++i)
        pal->entries.push_back({std::uint8_t(i * 6), std::uint8_t(255 - i), std::uint8_t(i), 0});
    DeviceBitmap b;
    b.width = 7;
    b.height = 3;
    b.indexed = true;
    b.palette = pal;
    for (int i = 0; i < 21; ++i)
        b.indices.push_back(std::uint8_t(i * 3 % 40));
    const PackedDib dib = DibFromBitmap(b, nullptr, 0, false);
    ASSERT_TRUE(dib);
    EXPECT_EQ(dib.Header().biBitCount, 8);
    EXPECT_EQ(dib.Header().biClrUsed, 256u);
    DecodedDib d;
    ASSERT_TRUE(DecodeDibPixels(dib.bytes(), d, DECODE_INDICES));
    EXPECT_EQ(d.indices, b.indices);
    EXPECT_TRUE(std::equal(pal->entries.begin(), pal->entries.end(), d.table.begin()));
}

TEST(DibFromBitmap, SmallDepthsMapToTheNearestTableEntry)
{
    DeviceBitmap b;
    b.width = 4;
    b.height = 1;
    b.pixels = {0xFF101010u, 0xFFF0F0F0u, 0xFF000000u, 0xFFFFFFFFu};
    const PackedDib one = DibFromBitmap(b, nullptr, 1, false);
    ASSERT_TRUE(one);
    EXPECT_EQ(one.Header().biClrUsed, 2u);
    DecodedDib d;
    ASSERT_TRUE(DecodeDibPixels(one.bytes(), d, DECODE_INDICES));
    EXPECT_EQ(d.indices, (std::vector<std::uint8_t>{0, 1, 0, 1}));

    auto grey = std::make_shared<DevicePalette>();
    grey->entries = {{0, 0, 0, 0}, {100, 100, 100, 0}, {250, 250, 250, 0}};
    const PackedDib four = DibFromBitmap(b, grey.get(), 4, true);
    ASSERT_TRUE(DecodeDibPixels(four.bytes(), d, DECODE_INDICES));
    EXPECT_EQ(d.indices, (std::vector<std::uint8_t>{0, 2, 0, 2}));
}

TEST(DibFromBitmap, RefusesWhatCannotBeRead)
{
    DeviceBitmap b = Gradient(3, 3);
    EXPECT_FALSE(DibFromBitmap(b, nullptr, 12, false));
    b.pixels.pop_back();
    EXPECT_FALSE(DibFromBitmap(b, nullptr, 32, true));
    EXPECT_FALSE(DibFromBitmap(DeviceBitmap{}, nullptr, 32, true));
}
