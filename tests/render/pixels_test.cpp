// Texture pixels from 32-bit DIBs with the colour key, and the built-in tiles.
#include "render/builtin_textures.h"
#include "render/texture_pixels.h"
#include "res/tiles/builtin_tiles.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

PackedDib Dib32(int width, int height, const std::vector<std::uint32_t>& argb)
{
    PackedDib dib = PackedDib::Allocate(40 + argb.size() * 4);
    BitmapInfoHeader h;
    h.biWidth = width;
    h.biHeight = -height;
    h.biBitCount = 32;
    h.biSizeImage = std::uint32_t(argb.size() * 4);
    dib.SetHeader(h);
    std::memcpy(dib.data() + 40, argb.data(), argb.size() * 4);   // little endian: B, G, R, fourth byte
    return dib;
}

TEST(PixelsFromDib, KeyBecomesTransparentBlackAndTheFourthByteIsAlpha)
{
    const PackedDib dib = Dib32(3, 2, {0x00FF00FF, 0xFFFF00FF, 0x80123456, 0xFF000000, 0x00FF00FE, 0x7FFFFFFF});
    const auto tex = PixelsFromDib(dib, kColourKey, 16384);
    ASSERT_TRUE(tex);
    EXPECT_EQ(tex->width, 3);
    EXPECT_EQ(tex->height, 2);
    EXPECT_EQ(tex->Argb(0, 0), 0x00000000u);
    EXPECT_EQ(tex->Argb(1, 0), 0xFFFF00FFu);
    EXPECT_EQ(tex->Argb(2, 0), 0x80123456u);
    EXPECT_EQ(tex->Argb(0, 1), 0xFF000000u);
    EXPECT_EQ(tex->Argb(1, 1), 0x00FF00FEu);
    EXPECT_EQ(tex->Argb(2, 1), 0x7FFFFFFFu);
    // Bytes as the device takes them: red, green, blue, alpha.
    EXPECT_EQ(tex->rgba[8], 0x12);
    EXPECT_EQ(tex->rgba[9], 0x34);
    EXPECT_EQ(tex->rgba[10], 0x56);
    EXPECT_EQ(tex->rgba[11], 0x80);
}

TEST(PixelsFromDib, RefusesOtherShapesAndShortBlocks)
{
    PackedDib dib = Dib32(2, 2, {1, 2, 3, 4});
    BitmapInfoHeader h = dib.Header();
    h.biHeight = 2;   // bottom-up
    dib.SetHeader(h);
    EXPECT_FALSE(PixelsFromDib(dib, kColourKey, 16384));
    h.biHeight = -3;  // more rows than the block holds
    dib.SetHeader(h);
    EXPECT_FALSE(PixelsFromDib(dib, kColourKey, 16384));
    h.biHeight = -2;
    h.biBitCount = 24;
    dib.SetHeader(h);
    EXPECT_FALSE(PixelsFromDib(dib, kColourKey, 16384));
    EXPECT_FALSE(PixelsFromDib(PackedDib(), kColourKey, 16384));
}

TEST(PixelsFromDib, ImagesBeyondTheDeviceLimitAreReducedByAWholeFactor)
{
    std::vector<std::uint32_t> px(10 * 4);
    for (int i = 0; i < 40; ++i)
        px[i] = 0xFF000000u | std::uint32_t(i);
    const auto tex = PixelsFromDib(Dib32(10, 4, px), kColourKey, 4);
    ASSERT_TRUE(tex);
    EXPECT_EQ(tex->width, 4);
    EXPECT_EQ(tex->height, 2);
    EXPECT_EQ(tex->Argb(1, 1), 0xFF000000u | 33u);   // source (3, 3): every third pixel
}

TEST(TextureFromBitmapTest, RefusesABitmapWithoutPixels)
{
    DeviceBitmap empty;
    EXPECT_FALSE(TextureFromBitmap(empty, kColourKey));
    DeviceBitmap shortBitmap;
    shortBitmap.width = shortBitmap.height = 4;
    shortBitmap.pixels.resize(3);
    EXPECT_FALSE(TextureFromBitmap(shortBitmap, kColourKey));
}

TEST(TextureFromBitmapTest, ADeviceBitmapBecomesATextureOfItsSizeWithTheKeyCleared)
{
    DeviceBitmap b;
    b.width = 640;
    b.height = 480;
    b.pixels.assign(640u * 480u, 0xFF204060u);
    b.Row(0)[0] = 0x00FF00FFu;     // the letter-box fill
    b.Row(0)[1] = 0xFFFF00FFu;     // opaque magenta of the photo itself
    b.Row(479)[639] = 0xFF0000FFu;
    const auto tex = TextureFromBitmap(b, kColourKey);
    ASSERT_TRUE(tex);
    EXPECT_EQ(tex->width, 640);
    EXPECT_EQ(tex->height, 480);
    EXPECT_EQ(tex->Argb(0, 0), 0x00000000u);
    EXPECT_EQ(tex->Argb(1, 0), 0xFFFF00FFu);
    EXPECT_EQ(tex->Argb(2, 0), 0xFF204060u);
    EXPECT_EQ(tex->Argb(639, 479), 0xFF0000FFu);   // rows stay top-down
}

TEST(TextureFromBitmapTest, APaletteBitmapTakesItsColoursFromThePalette)
{
    auto palette = std::make_shared<DevicePalette>();
    palette->entries = {{0, 0, 0, 0}, {0x11, 0x22, 0x33, 0}};
    DeviceBitmap b;
    b.width = b.height = 2;
    b.indexed = true;
    b.indices = {0, 1, 1, 0};
    b.palette = palette;
    const auto tex = TextureFromBitmap(b, kColourKey);
    ASSERT_TRUE(tex);
    EXPECT_EQ(tex->Argb(1, 0) & 0x00FFFFFFu, 0x112233u);
    EXPECT_EQ(tex->Argb(0, 0) & 0x00FFFFFFu, 0u);
}

TEST(BuiltInTiles, SixSixteenPixelTilesOfTheGivenAverageColours)
{
    const int average[kTileCount][3] = {
        {158, 154, 222}, {156, 213, 183}, {153, 171, 112}, {242, 148, 151}, {190, 145, 179}, {232, 200, 123},
    };
    for (int i = 0; i < kTileCount; ++i) {
        const auto dib = BuiltInTileDib(kFirstTileId + i);
        ASSERT_FALSE(dib.empty());
        BitmapInfoHeader h;
        std::memcpy(&h, dib.data(), sizeof h);
        EXPECT_EQ(h.biBitCount, 8);
        const auto tex = BuiltInTilePixels(kFirstTileId + i);
        ASSERT_TRUE(tex);
        ASSERT_EQ(tex->width, 16);
        ASSERT_EQ(tex->height, 16);
        long sum[3] = {0, 0, 0};
        int lo = 255, hi = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const std::uint32_t c = tex->Argb(x, y);
                EXPECT_EQ(c >> 24, 0xFFu);
                sum[0] += (c >> 16) & 0xFF;
                sum[1] += (c >> 8) & 0xFF;
                sum[2] += c & 0xFF;
                lo = std::min<int>(lo, (c >> 8) & 0xFF);
                hi = std::max<int>(hi, (c >> 8) & 0xFF);
            }
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(double(sum[k]) / 256.0, average[i][k], 0.5) << "tile " << kFirstTileId + i;
        // Lightly textured: neither flat nor noisy.
        EXPECT_GT(hi - lo, 4);
        EXPECT_LT(hi - lo, 40);
    }
    EXPECT_TRUE(BuiltInTileDib(218).empty());
    EXPECT_TRUE(BuiltInTileDib(225).empty());
}

TEST(BuiltInTiles, PaletteDecoderRefusesOtherDibs)
{
    const auto dib = BuiltInTileDib(kFirstTileId);
    std::vector<std::uint8_t> copy(dib.begin(), dib.end());
    EXPECT_FALSE(PixelsFromPaletteDib(std::span<const std::uint8_t>(copy).first(100)));
    copy[14] = 24;   // bit count
    EXPECT_FALSE(PixelsFromPaletteDib(copy));
}

} // namespace
