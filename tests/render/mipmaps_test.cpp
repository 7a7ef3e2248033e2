// The smaller levels of a texture: means of the texels covered, odd sides
// folded into their last texel, and the chain check the upload relies on.
#include "render/mipmaps.h"

#include <gtest/gtest.h>

namespace {

TexturePixels Texture(int w, int h, const std::vector<std::uint32_t>& rgba)
{
    TexturePixels t;
    t.width = w;
    t.height = h;
    for (std::uint32_t p : rgba)
        t.rgba.insert(t.rgba.end(), {std::uint8_t(p >> 24), std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)});
    return t;
}

std::uint32_t Rgba(const TexturePixels& t, int x, int y)
{
    const std::uint8_t* p = t.rgba.data() + (std::size_t(y) * std::size_t(t.width) + std::size_t(x)) * 4;
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

TEST(Mipmaps, EachTexelIsTheRoundedMeanOfTheBoxItCovers)
{
    // Two boxes of 2 x 2; every channel, alpha too (a keyed band fades at its edge).
    const TexturePixels t = Texture(4, 2, {0x00000000, 0xFF0000FF, 0x10203040, 0x11213141,   //
                                          0x00000000, 0xFF0000FF, 0x12223242, 0x13233343});
    const TexturePixels half = HalfLevel(t);
    ASSERT_EQ(half.width, 2);
    ASSERT_EQ(half.height, 1);
    EXPECT_EQ(Rgba(half, 0, 0), 0x80000080u);   // 510 / 4 = 127.5 rounds up
    EXPECT_EQ(Rgba(half, 1, 0), 0x12223242u);   // (0x10 + 0x11 + 0x12 + 0x13) / 4 = 0x11.8

    // One-pixel stripes become an even grey at once.
    std::vector<std::uint32_t> stripes;
    for (int i = 0; i < 64; ++i)
        stripes.push_back(i % 2 ? 0xFFFFFFFF : 0x000000FF);
    const TexturePixels grey = HalfLevel(Texture(8, 8, stripes));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Rgba(grey, x, y), 0x808080FFu);
}

TEST(Mipmaps, AnOddSideGivesItsLastRowOrColumnToTheLastTexel)
{
    // 5 x 1: columns 0-1, then 2-4.
    const TexturePixels row = HalfLevel(Texture(5, 1, {0x0A0A0A0A, 0x14141414, 0x03030303, 0x06060606, 0x09090909}));
    ASSERT_EQ(row.width, 2);
    ASSERT_EQ(row.height, 1);
    EXPECT_EQ(Rgba(row, 0, 0), 0x0F0F0F0Fu);
    EXPECT_EQ(Rgba(row, 1, 0), 0x06060606u);
    // 3 x 3: one texel, the mean of all nine.
    std::vector<std::uint32_t> nine;
    for (std::uint32_t i = 1; i <= 9; ++i)
        nine.push_back(i * 0x01010101u);
    const TexturePixels one = HalfLevel(Texture(3, 3, nine));
    ASSERT_EQ(one.width, 1);
    ASSERT_EQ(one.height, 1);
    EXPECT_EQ(Rgba(one, 0, 0), 0x05050505u);
    // A column of 1 x 3 halves only its height.
    const TexturePixels column = HalfLevel(Texture(1, 3, {0x30303030, 0x00000000, 0x06060606}));
    ASSERT_EQ(column.width, 1);
    ASSERT_EQ(column.height, 1);
    EXPECT_EQ(Rgba(column, 0, 0), 0x12121212u);
}

TEST(Mipmaps, TheChainRunsDownToOneTexelAndIsCheckedBeforeUse)
{
    TexturePixels photo;
    photo.width = 960;
    photo.height = 540;
    photo.rgba.assign(std::size_t(960) * 540 * 4, 0x7F);
    const std::vector<TexturePixels> levels = MipmapsOf(photo);
    ASSERT_EQ(levels.size(), 9u);
    EXPECT_EQ(levels[0].width, 480);
    EXPECT_EQ(levels[0].height, 270);
    EXPECT_EQ(levels[6].width, 7);
    EXPECT_EQ(levels[6].height, 4);
    EXPECT_EQ(levels.back().width, 1);
    EXPECT_EQ(levels.back().height, 1);
    EXPECT_EQ(Rgba(levels.back(), 0, 0), 0x7F7F7F7Fu);
    EXPECT_TRUE(IsMipmapChainOf(photo, levels));

    // Missing, cut short, one too many or of the wrong size: made anew at upload.
    EXPECT_FALSE(IsMipmapChainOf(photo, {}));
    EXPECT_FALSE(IsMipmapChainOf(photo, {levels.begin(), levels.end() - 1}));
    auto longer = levels;
    longer.push_back(levels.back());
    EXPECT_FALSE(IsMipmapChainOf(photo, longer));
    auto wrong = levels;
    wrong[2].rgba.pop_back();
    EXPECT_FALSE(IsMipmapChainOf(photo, wrong));
    // A texture of one texel has no smaller level.
    const TexturePixels dot = Texture(1, 1, {0x01020304});
    EXPECT_TRUE(MipmapsOf(dot).empty());
    EXPECT_TRUE(IsMipmapChainOf(dot, {}));
}

} // namespace
