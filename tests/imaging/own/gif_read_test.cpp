#include "imaging/own/image_read.h"
#include "imaging/read_test_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<std::uint32_t> Palette(int n)
{
    std::vector<std::uint32_t> p;
    for (int i = 0; i < n; ++i)
        p.push_back(static_cast<std::uint32_t>(i) << 16 | static_cast<std::uint32_t>((i * 53) & 0xFF) << 8 |
                    static_cast<std::uint32_t>((i * 151) & 0xFF));
    return p;
}

GifImage Image(int w, int h, int colours, std::uint32_t seed = 1)
{
    GifImage g{.width = w, .height = h, .palette = Palette(colours)};
    // Runs and noise, so that strings repeat and the table fills and clears.
    std::uint32_t r = seed;
    for (int i = 0; i < w * h; ++i) {
        r = r * 1103515245 + 12345;
        g.indices.push_back(static_cast<std::uint8_t>((r >> 16) % 4 ? (i / 7) % colours : (r >> 8) % colours));
    }
    return g;
}

int Read(const Bytes& file, ImageReadRecord& record)
{
    TempFile tmp(file, ".gif");
    return GifRead(tmp.path(), record);
}

// DIB index of image row y, column x (8 bits, bottom-up).
std::uint8_t IndexAt(const PackedDib& dib, int x, int y)
{
    const BitmapInfoHeader h = dib.Header();
    return dib.data()[dib.PixelOffset() + static_cast<std::size_t>(h.biHeight - 1 - y) * DibRowBytes(h.biWidth, 8) +
                      static_cast<std::size_t>(x)];
}

void ExpectMatchesQt(const Bytes& file, const GifImage& image, bool compareQt = true)
{
    ImageReadRecord record;
    ASSERT_EQ(Read(file, record), 0);
    const BitmapInfoHeader h = record.dib.Header();
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biHeight, image.height);
    EXPECT_EQ(h.biClrUsed, 256u);
    if (compareQt) {
        EXPECT_EQ(MaxChannelDifference(ExpandDib(record.dib), QtDecode(file)), 0);
    }
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            ASSERT_EQ(IndexAt(record.dib, x, y), image.indices[static_cast<std::size_t>(y * image.width + x)])
                << x << "," << y;
}

TEST(GifRead, TwoColourImage)
{
    GifImage g = Image(21, 9, 2);
    const Bytes file = MakeGif({g});
    ExpectMatchesQt(file, g);
    ImageReadRecord record;
    ASSERT_EQ(Read(file, record), 0);
    const std::uint8_t* table = record.dib.data() + 40;
    EXPECT_EQ(table[4 + 2], 1); // entry 1: red 1, green 53, blue 151
    EXPECT_EQ(table[4 + 1], 53);
    EXPECT_EQ(table[4 + 0], 151);
    for (int i = 2; i < 256; ++i)
        ASSERT_EQ(std::memcmp(table + 4 * i, "\0\0\0\0", 4), 0) << i;
}

TEST(GifRead, ColourImagesWhoseCodeTableFillsAndClears)
{
    for (int colours : {4, 16, 256}) {
        GifImage g = Image(300, 120, colours, static_cast<std::uint32_t>(colours));
        ExpectMatchesQt(MakeGif({g}), g);
    }
    GifImage local = Image(40, 30, 64);
    local.local = true;
    ExpectMatchesQt(MakeGif({local}), local);
}

TEST(GifRead, InterlacedRowsLandInPassOrder)
{
    // Each stored line holds its own position in the stream.
    GifImage g{.width = 5, .height = 10, .palette = Palette(16), .interlaced = true};
    g.indices.resize(50);
    const std::vector<int> order = InterlacedOrder(10);
    EXPECT_EQ(order, (std::vector<int>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
    for (int s = 0; s < 10; ++s)
        std::fill_n(g.indices.begin() + order[static_cast<std::size_t>(s)] * 5, 5, static_cast<std::uint8_t>(s));
    TraceCapture trace;
    ExpectMatchesQt(MakeGif({g}), g);
    EXPECT_TRUE(trace.Contains("GifRead: reading interlaced image"));

    // Images shorter than a pass's first row skip that pass. (Qt spends a
    // line on the empty pass of a 3- or 4-row image, so those are checked
    // against the source rows only.)
    for (int height : {1, 2, 3, 4, 5, 6, 9, 17}) {
        GifImage small = Image(7, height, 16, static_cast<std::uint32_t>(height));
        small.interlaced = true;
        SCOPED_TRACE(height);
        ExpectMatchesQt(MakeGif({small}), small, height != 3 && height != 4);
    }
}

Bytes Extensions()
{
    Bytes e = {0x21, 0xF9, 4, 0x01, 10, 0, 3, 0};                        // graphic control, transparent 3
    e.insert(e.end(), {0x21, 0xFE, 5, 'h', 'e', 'l', 'l', 'o', 0});      // comment
    e.insert(e.end(), {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});
    return e;
}

TEST(GifRead, AnimationGivesTheFirstFrameWithoutTransparency)
{
    GifImage first = Image(16, 8, 16, 7), second = Image(16, 8, 16, 99);
    second.local = true;
    const Bytes file = MakeGif({first, second}, Extensions());
    ExpectMatchesQt(MakeGif({first, second}), first);
    ImageReadRecord record;
    ASSERT_EQ(Read(file, record), 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(IndexAt(record.dib, x, y), first.indices[static_cast<std::size_t>(y * 16 + x)]);
    // The transparent index shows its table colour.
    const std::uint8_t* entry3 = record.dib.data() + 40 + 12;
    EXPECT_EQ(entry3[2], 3);
}

TEST(GifRead, ClearThenACodeAboveTheRootsIsIndexZero)
{
    // Code size 2: clear 4, end 5. Clear, then 7 (not yet defined), then root 2, end.
    Bytes file = MakeGif({Image(3, 1, 4)});
    const Bytes data = GifRawCodes(2, {{4, 3}, {7, 3}, {2, 3}, {3, 3}, {5, 4}});
    file.resize(13 + 12 + 10); // header, table, descriptor
    file.insert(file.end(), data.begin(), data.end());
    file.push_back(0x3B);
    ImageReadRecord record;
    ASSERT_EQ(Read(file, record), 0);
    EXPECT_EQ(IndexAt(record.dib, 0, 0), 0);
    EXPECT_EQ(IndexAt(record.dib, 1, 0), 2);
    EXPECT_EQ(IndexAt(record.dib, 2, 0), 3);
}

Bytes WithData(const Bytes& data)
{
    Bytes file = MakeGif({Image(8, 8, 4)});
    file.resize(13 + 12 + 10);
    file.insert(file.end(), data.begin(), data.end());
    file.push_back(0x3B);
    return file;
}

TEST(GifRead, RefusesBrokenFiles)
{
    const Bytes good = MakeGif({Image(8, 8, 4)});
    auto patched = [&](std::size_t at, std::uint8_t v) {
        Bytes b = good;
        b[at] = v;
        return b;
    };
    Bytes noEnd = good;
    noEnd.resize(noEnd.size() - 4); // into the LZW data
    Bytes noImage(good.begin(), good.begin() + 25);
    noImage.insert(noImage.end(), {0x21, 0xFE, 1, 'x', 0, 0x3B});
    struct Case {
        const char* name;
        Bytes file;
        int code;
    } cases[] = {
        {"short header", Bytes(good.begin(), good.begin() + 12), -2},
        {"not GIF", patched(0, 'J'), -5},
        {"fifth character not a digit", patched(4, 'x'), -5},
        {"sixth character outside A to z", patched(5, '!'), -5},
        {"global table cut short", Bytes(good.begin(), good.begin() + 20), -6},
        {"no image descriptor", noImage, -6},
        {"minimum code size 1", patched(13 + 12 + 10, 1), -6},
        {"minimum code size 10", patched(13 + 12 + 10, 10), -6},
        {"data without end code", noEnd, -2},
        {"zero width", patched(13 + 12 + 5, 0), -4},
        // Codes beyond the next slot chain a slot to itself: 4 (clear), 0, 7, 7, then 7 at 4 bits.
        {"self-referencing chain", WithData(GifRawCodes(2, {{4, 3}, {0, 3}, {7, 3}, {7, 3}, {7, 4}, {5, 4}})), -2},
    };
    for (const Case& c : cases) {
        ImageReadRecord record;
        EXPECT_EQ(Read(c.file, record), c.code) << c.name;
        EXPECT_FALSE(record.dib) << c.name;
    }
    ImageReadRecord record;
    EXPECT_EQ(GifRead("/nonexistent.gif", record), -1);
    EXPECT_EQ(GifRead(std::string(512, 'g').c_str(), record), -1);
}

TEST(GifRead, ImageWithoutColourTableIsGrey)
{
    GifImage g = Image(4, 4, 4);
    Bytes file = MakeGif({g});
    file[10] &= 0x7F; // drop the global table flag; its bytes are then scanned over
    ImageReadRecord record;
    ASSERT_EQ(Read(file, record), 0);
    const std::uint8_t* table = record.dib.data() + 40;
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[4], 85);
    EXPECT_EQ(table[12], 255);
}

TEST(GifRead, MemoryEntryReadsLikeTheFile)
{
    const Bytes file = MakeGif({Image(33, 17, 32)});
    ImageReadRecord a, b;
    ASSERT_EQ(Read(file, a), 0);
    ASSERT_EQ(GifReadBytes(file, b), 0);
    ASSERT_EQ(a.dib.size(), b.dib.size());
    EXPECT_EQ(std::memcmp(a.dib.data(), b.dib.data(), a.dib.size()), 0);
}

} // namespace
