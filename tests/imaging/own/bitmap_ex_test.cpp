// CBitmapEx: the record's life cycle, the DIB-to-bitmap paths at every display
// depth, resources and serialisation.
#include "imaging/own/bitmap_ex.h"

#include "imaging/dib_fixtures.h"
#include "imaging/own/bitmap_resources.h"
#include "imaging/own/dib_decode.h"
#include "imaging/own/dib_from_bitmap.h"
#include "imaging/own/palette.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

using namespace dibtest;

namespace {

class BitmapEx : public testing::Test {
protected:
    void TearDown() override { SetDisplayDepth(24); }
};

PackedDib Dib(const DibSpec& s, unsigned seed = 3) { return ToBlock(MakeDib(s, {}, seed)); }

std::vector<std::uint32_t> Decoded(const PackedDib& dib)
{
    DecodedDib d;
    EXPECT_TRUE(DecodeDibPixels(dib.bytes(), d));
    return d.pixels;
}

} // namespace

TEST_F(BitmapEx, DisplayDepthClasses)
{
    for (auto [given, reported] : {std::pair{1, 1}, {2, 4}, {4, 4}, {8, 8}, {16, 24}, {24, 24}, {32, 24}}) {
        SetDisplayDepth(given);
        EXPECT_EQ(DisplayDepth(), reported) << given;
        EXPECT_EQ(IsPaletteDisplay(), reported <= 8);
    }
}

TEST_F(BitmapEx, TrueColourDisplayTakesNoPaletteAndConvertsDirectly)
{
    for (int depth : {24, 32}) {
        SetDisplayDepth(depth);
        for (int bits : {4, 8, 24}) {
            CBitmapEx r;
            PackedDib dib = Dib({.width = 9, .height = 5, .bits = bits, .colours = bits <= 8 ? 1 << bits : 0});
            const auto expected = Decoded(dib);
            r.SetDib(std::move(dib));
            EXPECT_FALSE(r.palette);
            EXPECT_EQ(r.width, 9);
            EXPECT_EQ(r.height, 5);
            ASSERT_EQ(r.DibToBitmap(), 1);
            ASSERT_TRUE(r.bitmap);
            EXPECT_FALSE(r.dib);
            EXPECT_FALSE(r.bitmap->indexed);
            EXPECT_EQ(r.bitmap->pixels, expected);
            EXPECT_FALSE(r.palette);
        }
    }
}

TEST_F(BitmapEx, PaletteDisplayKeepsIndexedImagesItCanShow)
{
    SetDisplayDepth(8);
    PackedDib dib = Dib({.width = 6, .height = 4, .topDown = true, .bits = 8, .colours = 256});
    DecodedDib d;
    ASSERT_TRUE(DecodeDibPixels(dib.bytes(), d, DECODE_INDICES));
    CBitmapEx r;
    r.SetDib(std::move(dib));
    ASSERT_TRUE(r.palette);
    ASSERT_EQ(r.palette->entries.size(), 256u);
    EXPECT_EQ(r.palette->entries, d.table);
    ASSERT_EQ(r.DibToBitmap(), 1);
    EXPECT_TRUE(r.bitmap->indexed);
    EXPECT_EQ(r.bitmap->indices, d.indices);
    EXPECT_EQ(r.bitmap->palette->entries, d.table);

    // A 4-bit image on a 4-bit display is shown through its own table as well.
    SetDisplayDepth(4);
    CBitmapEx four;
    four.SetDib(Dib({.width = 5, .height = 3, .bits = 4, .colours = 16}));
    ASSERT_EQ(four.DibToBitmap(), 1);
    EXPECT_TRUE(four.bitmap->indexed);
    EXPECT_EQ(four.palette->entries.size(), 16u);
}

TEST_F(BitmapEx, PaletteDisplayReducesWhatItCannotShow)
{
    // 24 bits on 8: generated colours then the 20 reserved ones.
    SetDisplayDepth(8);
    CBitmapEx r;
    r.SetDib(Dib({.width = 40, .height = 30, .bits = 24}));
    ASSERT_EQ(r.DibToBitmap(), 1);
    ASSERT_TRUE(r.palette);
    ASSERT_TRUE(r.bitmap->indexed);
    const auto& entries = r.palette->entries;
    ASSERT_LE(entries.size(), 256u);
    ASSERT_GT(entries.size(), std::size_t(kReservedColours));
    const auto reserved = ReservedSystemColours();
    EXPECT_TRUE(std::equal(reserved.begin(), reserved.end(), entries.end() - kReservedColours));
    for (std::uint8_t i : r.bitmap->indices)
        EXPECT_LT(i, entries.size());

    // 8 and 24 bits on 4 and 1 bits: the system's own colours.
    for (int depth : {4, 1}) {
        SetDisplayDepth(depth);
        for (int bits : {8, 24, 32}) {
            CBitmapEx low;
            low.SetDib(Dib({.width = 12, .height = 7, .bits = bits, .colours = bits == 8 ? 256 : 0}));
            ASSERT_EQ(low.DibToBitmap(), 1);
            EXPECT_EQ(low.palette->entries, SystemPalette(depth)->entries) << depth << " " << bits;
            EXPECT_TRUE(low.bitmap->indexed);
        }
    }
}

TEST_F(BitmapEx, ColourCountIsCompletedOnlyWhenTheBlockHoldsATable)
{
    for (auto [extra, completed] : {std::pair{64, true}, {4, true}, {0, false}, {68, false}}) {
        // 4-bit, 4 x 2: 8 pixel bytes; a table of up to 16 entries fits between.
        PackedDib dib = PackedDib::Allocate(40 + std::size_t(extra) + 8);
        BitmapInfoHeader h;
        h.biWidth = 4;
        h.biHeight = 2;
        h.biBitCount = 4;
        dib.SetHeader(h);
        CompleteDibColourCount(dib);
        EXPECT_EQ(dib.Header().biClrUsed, completed ? 16u : 0u) << extra;
    }
}

TEST_F(BitmapEx, DetachHandsOutWhatTheRecordHolds)
{
    SetDisplayDepth(8);
    CBitmapEx dibOnly;
    dibOnly.SetDib(Dib({.width = 3, .height = 3, .bits = 8, .colours = 256}));
    const std::uint8_t* block = dibOnly.dib.block.data();
    PackedDib out;
    std::unique_ptr<DeviceBitmap> bmp;
    std::shared_ptr<const DevicePalette> pal;
    EXPECT_EQ(dibOnly.Detach(&out, &bmp, &pal), 2);
    EXPECT_EQ(out.data(), block);
    EXPECT_FALSE(dibOnly.dib);
    EXPECT_FALSE(dibOnly.palette);
    EXPECT_EQ(dibOnly.width, 0);
    EXPECT_FALSE(bmp);
    EXPECT_EQ(dibOnly.Detach(&out, &bmp, &pal), 0);

    CBitmapEx withBitmap;
    withBitmap.SetDib(Dib({.width = 3, .height = 3, .bits = 8, .colours = 256}));
    ASSERT_EQ(withBitmap.DibToBitmap(), 1);
    const DeviceBitmap* raw = withBitmap.bitmap.get();
    EXPECT_EQ(withBitmap.Detach(&out, &bmp, &pal), 1);
    EXPECT_EQ(bmp.get(), raw);
    EXPECT_TRUE(pal);
    EXPECT_FALSE(withBitmap.bitmap);
    EXPECT_FALSE(withBitmap.palette);
}

TEST_F(BitmapEx, FailedConversionsKeepWhatTheRecordHeld)
{
    CBitmapEx r;
    EXPECT_EQ(r.DibToBitmap(), 0);
    EXPECT_EQ(r.BitmapToDib(), 0);
    auto bytes = MakeDib({.width = 4, .height = 4, .bits = 24});
    bytes.resize(bytes.size() - 1); // one pixel byte short
    r.SetDib(ToBlock(bytes));
    EXPECT_EQ(r.DibToBitmap(), 0);
    EXPECT_TRUE(r.dib);
    EXPECT_FALSE(r.bitmap);
    EXPECT_EQ(r.width, 4);
}

TEST_F(BitmapEx, BitmapToDibRoundTrip)
{
    CBitmapEx r;
    PackedDib dib = Dib({.width = 7, .height = 3, .bits = 24});
    const auto expected = Decoded(dib);
    r.SetDib(std::move(dib));
    ASSERT_EQ(r.DibToBitmap(), 1);
    ASSERT_EQ(r.BitmapToDib(), 1);
    EXPECT_FALSE(r.bitmap);
    ASSERT_TRUE(r.dib);
    EXPECT_EQ(r.dib.block.Header().biBitCount, 24);
    EXPECT_GT(r.dib.block.Header().biHeight, 0);
    EXPECT_EQ(Decoded(r.dib.block), expected);

    SetDisplayDepth(8);
    CBitmapEx indexed;
    PackedDib eight = Dib({.width = 5, .height = 2, .bits = 8, .colours = 256});
    const auto colours = Decoded(eight);
    indexed.SetDib(std::move(eight));
    ASSERT_EQ(indexed.DibToBitmap(), 1);
    ASSERT_EQ(indexed.BitmapToDib(), 1);
    EXPECT_EQ(indexed.dib.block.Header().biBitCount, 8);
    EXPECT_EQ(Decoded(indexed.dib.block), colours);
    EXPECT_TRUE(indexed.palette);
}

TEST_F(BitmapEx, CreateBlankIsWhite)
{
    for (int depth : {24, 8, 4, 1}) {
        SetDisplayDepth(depth);
        CBitmapEx r;
        EXPECT_EQ(r.CreateBlank(0, 5, -1), 0);
        EXPECT_EQ(r.CreateBlank(5, -1, -1), 0);
        ASSERT_EQ(r.CreateBlank(5, 4, depth <= 8 ? 0 : -1), 1);
        EXPECT_EQ(r.width, 5);
        EXPECT_EQ(r.height, 4);
        const PackedDib dib = DibFromBitmap(*r.bitmap, nullptr, 32, true);
        const auto pixels = Decoded(dib);
        EXPECT_EQ(std::set<std::uint32_t>(pixels.begin(), pixels.end()), std::set<std::uint32_t>{0xFFFFFFFFu});
        EXPECT_EQ(bool(r.palette), depth <= 8);
        EXPECT_EQ(r.CreateBlank(2, 2, -1), 0) << "a record with a bitmap is refused";
    }
}

TEST_F(BitmapEx, SetPaletteTakesACopy)
{
    auto pal = std::make_shared<DevicePalette>();
    pal->entries = {{1, 2, 3, 0}};
    CBitmapEx r;
    r.SetPalette(pal);
    ASSERT_TRUE(r.palette);
    EXPECT_NE(r.palette.get(), pal.get());
    EXPECT_EQ(r.palette->entries, pal->entries);
    r.SetPalette(nullptr);
    EXPECT_FALSE(r.palette);

    // On a palette display the bitmap's indices name the new palette's colours.
    SetDisplayDepth(8);
    ASSERT_EQ(r.CreateBlank(2, 2, 0), 1);
    r.SetPalette(pal);
    EXPECT_EQ(r.bitmap->palette, r.palette);
}

TEST_F(BitmapEx, LoadFromResourceKeepsTheDibAndMakesABitmap)
{
    CBitmapEx r;
    EXPECT_EQ(r.LoadFromResource(98765, false), 0);
    EXPECT_FALSE(r.bitmap);

    const auto dib = MakeDib({.width = 6, .height = 4, .bits = 4, .colours = 16});
    RegisterBitmapResource(4242, BmpFile(dib));
    SetDisplayDepth(8);
    ASSERT_EQ(r.LoadFromResource(4242, true), 1);
    EXPECT_TRUE(r.dib);
    ASSERT_TRUE(r.bitmap);
    EXPECT_EQ(r.width, 6);
    EXPECT_EQ(r.height, 4);
    ASSERT_TRUE(r.palette);
    EXPECT_EQ(r.palette->entries.size(), 16u);
    EXPECT_EQ(r.dib.block.size(), dib.size());

    SetDisplayDepth(24);
    CBitmapEx t;
    RegisterBitmapResource(4243, dib); // a bare packed DIB is accepted as well
    ASSERT_EQ(t.LoadFromResource(4243, false), 1);
    EXPECT_FALSE(t.palette);
    EXPECT_EQ(t.bitmap->pixels, Decoded(ToBlock(dib)));
}

TEST_F(BitmapEx, SerializeRoundTrips)
{
    // (A stringstream would pick the loading overload on a non-const record.)
    CBitmapEx empty;
    std::ostringstream s1;
    empty.Serialize(s1);
    EXPECT_EQ(s1.str(), std::string(1, char(255)));

    CBitmapEx withDib;
    const auto bytes = MakeDib({.width = 5, .height = 3, .bits = 8, .colours = 256});
    withDib.SetDib(ToBlock(bytes));
    std::ostringstream s2;
    withDib.Serialize(s2);
    const std::string stored = s2.str();
    ASSERT_EQ(stored.size(), 1 + 14 + bytes.size());
    EXPECT_EQ(stored[0], 0);
    EXPECT_EQ(stored.substr(1, 2), "BM");
    CBitmapEx back;
    std::istringstream in2(stored);
    ASSERT_TRUE(back.Serialize(in2));
    ASSERT_TRUE(back.dib);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), back.dib.block.data()));

    CBitmapEx withBitmap;
    withBitmap.SetDib(ToBlock(MakeDib({.width = 4, .height = 4, .bits = 24})));
    ASSERT_EQ(withBitmap.DibToBitmap(), 1);
    std::ostringstream s3;
    withBitmap.Serialize(s3);
    EXPECT_EQ(s3.str()[0], 1);
    CBitmapEx back2;
    std::istringstream in3(s3.str());
    ASSERT_TRUE(back2.Serialize(in3));
    ASSERT_TRUE(back2.bitmap);
    EXPECT_EQ(back2.bitmap->pixels, withBitmap.bitmap->pixels);

    std::istringstream in1(s1.str());
    ASSERT_TRUE(back2.Serialize(in1));
    EXPECT_FALSE(back2.bitmap);

    // Truncated or foreign data is refused without a block.
    std::istringstream cut(stored.substr(0, stored.size() - 1));
    CBitmapEx none;
    EXPECT_FALSE(none.Serialize(cut));
    EXPECT_FALSE(none.dib);
    std::istringstream foreign(std::string("\0XY\xff\xff\xff\xff\0\0\0\0\0\0\0", 15));
    EXPECT_FALSE(none.Serialize(foreign));
    std::istringstream nothing;
    EXPECT_FALSE(none.Serialize(nothing));
}
