// Draw and DrawPart into a target device bitmap.
#include "imaging/own/draw.h"

#include "imaging/own/bitmap_ex.h"
#include "imaging/own/dib_from_bitmap.h"
#include "imaging/own/palette.h"

#include <gtest/gtest.h>

namespace {

class Drawing : public testing::Test {
protected:
    void TearDown() override { SetDisplayDepth(24); }
};

// A record holding a w x h true-colour bitmap whose pixel (x, y) is 0xFF00XXYY.
void Fill(CBitmapEx& r, int w, int h)
{
    auto b = std::make_unique<DeviceBitmap>();
    b->width = w;
    b->height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b->pixels.push_back(0xFF000000u | std::uint32_t(x) << 8 | std::uint32_t(y));
    r.AttachBitmap(std::move(b), nullptr);
}

DeviceBitmap Target(int w, int h)
{
    DeviceBitmap t;
    t.width = w;
    t.height = h;
    t.pixels.assign(std::size_t(w * h), 0x12345678u);
    return t;
}

std::uint32_t At(const DeviceBitmap& t, int x, int y) { return t.pixels[std::size_t(y * t.width + x)]; }
std::uint32_t Src(int x, int y) { return 0xFF000000u | std::uint32_t(x) << 8 | std::uint32_t(y); }
constexpr std::uint32_t kUntouched = 0x12345678u;

} // namespace

TEST_F(Drawing, CentreAndShrinkOnlyWithoutScaleNeverScales)
{
    CBitmapEx r;
    Fill(r, 10, 8);
    DeviceBitmap t = Target(12, 12);
    ASSERT_NE(r.Draw(t, {2, 3, 6, 6}, DRAW_CENTER | DRAW_SHRINK_ONLY), 0);
    // Drawn from the image's origin at the rectangle's corner, cut at its edges.
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 3 && y < 6;
            EXPECT_EQ(At(t, x, y), inside ? Src(x - 2, y - 3) : kUntouched) << x << "," << y;
        }
}

TEST_F(Drawing, UnscaledImagesAreCentredInLargerRectangles)
{
    CBitmapEx r;
    Fill(r, 3, 2);
    DeviceBitmap t = Target(10, 10);
    // Shrink-only: the image is smaller than the rectangle, so it is not enlarged.
    ASSERT_NE(r.Draw(t, {0, 0, 8, 7}, DRAW_SCALE | DRAW_SHRINK_ONLY | DRAW_CENTER), 0);
    EXPECT_EQ(At(t, 2, 2), Src(0, 0));
    EXPECT_EQ(At(t, 4, 3), Src(2, 1));
    EXPECT_EQ(At(t, 5, 3), kUntouched);
    EXPECT_EQ(At(t, 1, 2), kUntouched);
}

TEST_F(Drawing, ScalingKeepsTheShapeAndRepeatsOrDropsPixels)
{
    CBitmapEx r;
    Fill(r, 4, 2);
    DeviceBitmap t = Target(8, 8);
    ASSERT_NE(r.Draw(t, {0, 0, 8, 8}, DRAW_SCALE | DRAW_CENTER), 0);
    // 4 x 2 into 8 x 8 gives 8 x 4, two rows down; each pixel doubled.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(At(t, x, y), y >= 2 && y < 6 ? Src(x / 2, (y - 2) / 2) : kUntouched) << x << "," << y;

    CBitmapEx big;
    Fill(big, 8, 8);
    DeviceBitmap half = Target(4, 4);
    ASSERT_NE(big.Draw(half, {0, 0, 4, 4}, DRAW_SCALE), 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(half, x, y), Src(2 * x, 2 * y));
}

TEST_F(Drawing, HalftoneAveragesDeviceBitmapsOnly)
{
    CBitmapEx r;
    Fill(r, 4, 4);
    DeviceBitmap t = Target(2, 2);
    ASSERT_NE(r.Draw(t, {0, 0, 2, 2}, DRAW_SCALE | DRAW_HALFTONE), 0);
    // Each target pixel averages a 2 x 2 block: x 0,1 and y 0,1 give 0.5 -> rounded up.
    EXPECT_EQ(At(t, 0, 0), 0xFF000101u);
    EXPECT_EQ(At(t, 1, 1), 0xFF000303u);

    // A DIB is always stretched by dropping pixels.
    CBitmapEx dibOnly;
    dibOnly.SetDib(DibFromBitmap(*r.bitmap, nullptr, 24, false));
    ASSERT_FALSE(dibOnly.bitmap);
    DeviceBitmap u = Target(2, 2);
    ASSERT_NE(dibOnly.Draw(u, {0, 0, 2, 2}, DRAW_SCALE | DRAW_HALFTONE), 0);
    EXPECT_EQ(At(u, 1, 1), Src(2, 2));
}

TEST_F(Drawing, DrawPartCopiesOrStretchesTheSourceRectangle)
{
    CBitmapEx r;
    Fill(r, 6, 6);
    DeviceBitmap t = Target(6, 6);
    const DrawRect part{2, 1, 4, 3};
    ASSERT_NE(r.DrawPart(t, {0, 0, 2, 2}, &part, 0), 0);
    EXPECT_EQ(At(t, 0, 0), Src(2, 1));
    EXPECT_EQ(At(t, 1, 1), Src(3, 2));
    EXPECT_EQ(At(t, 2, 0), kUntouched);

    DeviceBitmap s = Target(6, 6);
    ASSERT_NE(r.DrawPart(s, {0, 0, 6, 2}, &part, DRAW_SCALE), 0); // shape not kept
    EXPECT_EQ(At(s, 0, 0), Src(2, 1));
    EXPECT_EQ(At(s, 5, 1), Src(3, 2));
    EXPECT_EQ(At(s, 0, 2), kUntouched);
}

TEST_F(Drawing, ClipsAtTheTargetAndRefusesEmptyRecords)
{
    CBitmapEx r;
    DeviceBitmap t = Target(4, 4);
    EXPECT_EQ(r.Draw(t, {0, 0, 4, 4}, 0), 0);
    Fill(r, 5, 5);
    ASSERT_NE(r.Draw(t, {-2, -3, 3, 2}, 0), 0);
    EXPECT_EQ(At(t, 0, 0), Src(2, 3));
    ASSERT_NE(r.Draw(t, {-100, 2, 1000, 900}, DRAW_SCALE | DRAW_HALFTONE), 0);
    DeviceBitmap broken;
    broken.width = 3;
    broken.height = 3;
    EXPECT_EQ(r.Draw(broken, {0, 0, 3, 3}, 0), 0);
}

TEST_F(Drawing, PaletteTargetsRealiseTheImagePalette)
{
    SetDisplayDepth(8);
    auto pal = std::make_shared<DevicePalette>();
    pal->entries = {{0, 0, 0, 0}, {200, 10, 10, 0}, {10, 200, 10, 0}};
    auto b = std::make_unique<DeviceBitmap>();
    b->width = 2;
    b->height = 1;
    b->indexed = true;
    b->indices = {1, 2};
    b->palette = pal;
    CBitmapEx r;
    r.AttachBitmap(std::move(b), pal);

    auto target = CreateCompatibleBitmap(2, 1);
    ASSERT_TRUE(target && target->indexed);
    ASSERT_NE(r.Draw(*target, {0, 0, 2, 1}, 0), 0);
    EXPECT_EQ(target->palette, pal);
    EXPECT_EQ(target->indices, (std::vector<std::uint8_t>{1, 2}));

    // Keeping the destination's palette maps the colours onto it.
    auto kept = CreateCompatibleBitmap(2, 1);
    ASSERT_NE(r.Draw(*kept, {0, 0, 2, 1}, DRAW_KEEP_PALETTE), 0);
    EXPECT_EQ(kept->palette, SystemPalette(8));
    for (int i = 0; i < 2; ++i) {
        const PaletteEntry& e = kept->palette->entries[kept->indices[std::size_t(i)]];
        const PaletteEntry& want = pal->entries[std::size_t(i + 1)];
        EXPECT_NEAR(e.red, want.red, 60);
        EXPECT_NEAR(e.green, want.green, 60);
    }
}
