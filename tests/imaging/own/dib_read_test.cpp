#include "imaging/own/image_read.h"
#include "imaging/read_test_fixtures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<std::uint32_t> Palette(int n)
{
    std::vector<std::uint32_t> p;
    for (int i = 0; i < n; ++i)
        p.push_back(static_cast<std::uint32_t>((i * 37) & 0xFF) << 16 | static_cast<std::uint32_t>((i * 91) & 0xFF) << 8 |
                    static_cast<std::uint32_t>(255 - i));
    return p;
}

std::uint32_t Value(const BmpForm& f, int x, int y)
{
    if (f.bits <= 8)
        return static_cast<std::uint32_t>(x * 3 + y * 5) % f.palette.size();
    if (f.bits == 16)
        return static_cast<std::uint32_t>(x * 1237 + y * 4099) & 0xFFFF;
    return static_cast<std::uint32_t>(x * 0x030507 + y * 0x0B0D11) & 0xFFFFFF;
}

Bytes Fixture(const BmpForm& f)
{
    return MakeBmp(f, PackRows(f, [&](int x, int y) { return Value(f, x, y); }));
}

int Read(const Bytes& file, ImageReadRecord& record)
{
    TempFile tmp(file, ".bmp");
    return DibRead(tmp.path(), record);
}

struct FormCase {
    const char* name;
    int bits;
    std::uint32_t compression;
    std::array<std::uint32_t, 3> masks;
    int tolerance; // Qt scales 5- and 6-bit channels a little differently
};

class DibReadForms : public ::testing::TestWithParam<std::tuple<FormCase, bool>> {};

TEST_P(DibReadForms, MatchQtPixelForPixel)
{
    auto [form, topDown] = GetParam();
    BmpForm f{.width = 13, .height = 7, .bits = form.bits, .compression = form.compression, .topDown = topDown};
    f.masks = form.masks;
    if (form.bits <= 8)
        f.palette = Palette(1 << form.bits);
    const Bytes file = Fixture(f);
    ImageReadRecord record;
    ASSERT_EQ(DibRead(TempFile(file, ".bmp").path(), record), 0);
    const BitmapInfoHeader h = record.dib.Header();
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biHeight, topDown ? -7 : 7);
    EXPECT_EQ(h.biBitCount, form.bits);
    EXPECT_EQ(h.biCompression, form.compression);
    const Pixels qt = QtDecode(file);
    ASSERT_EQ(qt.width, 13);
    EXPECT_LE(MaxChannelDifference(ExpandDib(record.dib), qt), form.tolerance);
}

const FormCase kForms[] = {
    {"bits1", 1, 0, {}, 0},
    {"bits4", 4, 0, {}, 0},
    {"bits8", 8, 0, {}, 0},
    {"bits16_555", 16, 0, {}, 8},
    {"bits16_565", 16, 3, {0xF800, 0x07E0, 0x001F}, 8},
    {"bits24", 24, 0, {}, 0},
    {"bits32", 32, 0, {}, 0},
    {"bits32_fields", 32, 3, {0x0000FF00, 0x00FF0000, 0xFF000000}, 0},
};

INSTANTIATE_TEST_SUITE_P(All, DibReadForms, ::testing::Combine(::testing::ValuesIn(kForms), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "_topdown" : "_bottomup");
                         });

TEST(DibRead, RleDataIsKeptAsStored)
{
    // RLE8: a run of 5 of index 1, 3 literal pixels, end of line, end of bitmap.
    const Bytes rle8 = {5, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 5, 2, 0, 1};
    // RLE4: a run of 6 alternating pixels, end of bitmap.
    const Bytes rle4 = {6, 0x12, 0, 1};
    for (auto [bits, compression, data] : {std::tuple{8, 1u, rle8}, std::tuple{4, 2u, rle4}}) {
        BmpForm f{.width = 8, .height = 2, .bits = bits, .compression = compression};
        f.palette = Palette(1 << bits);
        ImageReadRecord record;
        ASSERT_EQ(Read(MakeBmp(f, data), record), 0);
        EXPECT_EQ(record.dib.Header().biCompression, compression);
        EXPECT_EQ(record.dib.size(), 40 + 4 * f.palette.size() + data.size());
        EXPECT_EQ(0, std::memcmp(record.dib.data() + record.dib.PixelOffset(), data.data(), data.size()));
    }
}

TEST(DibRead, FileWithoutFileHeaderHasPixelsAfterTheTable)
{
    BmpForm f{.width = 9, .height = 4, .bits = 8};
    f.palette = Palette(256);
    ImageReadRecord withHeader, without;
    ASSERT_EQ(Read(Fixture(f), withHeader), 0);
    f.fileHeader = false;
    ASSERT_EQ(Read(Fixture(f), without), 0);
    ASSERT_EQ(without.dib.size(), withHeader.dib.size());
    EXPECT_EQ(0, std::memcmp(without.dib.data(), withHeader.dib.data(), without.dib.size()));
}

TEST(DibRead, CoreHeaderBecomesAnInfoHeaderWithFourByteEntries)
{
    BmpForm f{.width = 10, .height = 3, .bits = 8, .core = true};
    f.palette = Palette(256);
    const Bytes file = Fixture(f);
    ImageReadRecord record;
    ASSERT_EQ(Read(file, record), 0);
    const BitmapInfoHeader h = record.dib.Header();
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 10);
    EXPECT_EQ(h.biClrUsed, 256u);
    EXPECT_EQ(h.biClrImportant, 256u);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(record.dib.data()[40 + 4 * i + 3], 0) << i;
    EXPECT_EQ(MaxChannelDifference(ExpandDib(record.dib), QtDecode(file)), 0);

    // A tiny OS/2 file ends before 40 header bytes could be read.
    BmpForm tiny{.width = 1, .height = 1, .bits = 1, .core = true};
    tiny.palette = {0x000000, 0xFFFFFF};
    ImageReadRecord small;
    ASSERT_EQ(Read(MakeBmp(tiny, {0x80, 0, 0, 0}), small), 0);
    EXPECT_EQ(ExpandDib(small.dib).argb, std::vector<std::uint32_t>{0xFFFFFFFFu});
}

TEST(DibRead, OffBitsDecidesWhereThePixelsStart)
{
    BmpForm f{.width = 5, .height = 5, .bits = 24, .gap = 37};
    const Bytes file = Fixture(f);
    ImageReadRecord record;
    ASSERT_EQ(Read(file, record), 0);
    EXPECT_EQ(record.dib.PixelOffset(), 40u);
    EXPECT_EQ(MaxChannelDifference(ExpandDib(record.dib), QtDecode(file)), 0);
}

TEST(DibRead, BitFieldMasksFollowTheHeaderEvenWithAColourTable)
{
    BmpForm f{.width = 4, .height = 2, .bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}};
    f.palette = Palette(200); // an optional table after the masks must not overrun the block
    ImageReadRecord record;
    ASSERT_EQ(Read(Fixture(f), record), 0);
    std::uint32_t masks[3];
    std::memcpy(masks, record.dib.data() + 40, 12);
    EXPECT_EQ(masks[0], 0xF800u);
    EXPECT_EQ(masks[1], 0x07E0u);
    EXPECT_EQ(masks[2], 0x001Fu);
    EXPECT_EQ(record.dib.PixelOffset(), 52u);
    EXPECT_GE(record.dib.size(), 52u + 16);
}

TEST(DibRead, TruncatedPixelDataLoadsAsZero)
{
    BmpForm f{.width = 4, .height = 4, .bits = 24};
    Bytes file = Fixture(f);
    file.resize(file.size() - 2 * 12 - 5); // the top two rows and a bit
    ImageReadRecord record;
    ASSERT_EQ(Read(file, record), 0);
    const Pixels p = ExpandDib(record.dib);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(p.argb[static_cast<std::size_t>(x)], 0xFF000000u);
        EXPECT_EQ(p.argb[static_cast<std::size_t>(4 + x)], 0xFF000000u);
        EXPECT_EQ(p.argb[static_cast<std::size_t>(12 + x)], Value(f, x, 3) | 0xFF000000u);
    }

    // Nothing at all after the header: still handed on, all zero, with a trace.
    TraceCapture trace;
    file.resize(54);
    ASSERT_EQ(Read(file, record), 0);
    EXPECT_TRUE(trace.Contains("DibRead: Error reading file"));
}

TEST(DibRead, RefusesWhatItCannotRead)
{
    TraceCapture trace;
    ImageReadRecord record;
    EXPECT_EQ(DibRead("/nonexistent/file.bmp", record), -1);
    EXPECT_TRUE(trace.Contains("DibRead: Unable to open file /nonexistent/file.bmp"));
    EXPECT_EQ(DibRead(std::string(600, 'a').c_str(), record), -1);
    EXPECT_EQ(Read({'B', 'M', 0, 0}, record), -2);
    BmpForm f{.width = 4, .height = 4, .bits = 24};
    Bytes file = Fixture(f);
    file.resize(30);
    EXPECT_EQ(Read(file, record), -2);
    EXPECT_FALSE(record.dib);
}

TEST(DibRead, RefusesUnsupportedAndAbsurdHeaders)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::size_t, std::uint32_t>> patches; // file offset, value
    };
    // After the 14-byte file header: biSize at 14, width 18, height 22, bits 28, size 34, clrUsed 46.
    const Case cases[] = {
        {"header 108", {{14, 108}}},
        {"header 124", {{14, 124}}},
        {"negative height, no image size", {{22, static_cast<std::uint32_t>(-4)}}},
        {"negative width", {{18, static_cast<std::uint32_t>(-4)}}},
        {"size overflows", {{18, 0x7FFFFFFF}, {22, 0x7FFFFFFF}, {28, 0xFFFF}}},
        {"more than 1 GiB", {{22, 0x7FFFFFFF}}},
        {"image size over 1 GiB", {{34, 0x40000001}}},
        {"colour table beyond 256", {{46, 0x40000000}}},
    };
    for (const Case& c : cases) {
        BmpForm f{.width = 4, .height = 4, .bits = 24, .writeSizeImage = false};
        Bytes file = Fixture(f);
        for (auto [offset, value] : c.patches)
            std::memcpy(file.data() + offset, &value, 4);
        TraceCapture trace;
        ImageReadRecord record;
        EXPECT_EQ(Read(file, record), -5) << c.name;
        EXPECT_FALSE(record.dib) << c.name;
        EXPECT_TRUE(trace.Contains("DibRead: Unsupported file format")) << c.name;
    }
}

TEST(DibRead, MemoryEntryReadsLikeTheFile)
{
    BmpForm f{.width = 6, .height = 3, .bits = 4};
    f.palette = Palette(16);
    const Bytes file = Fixture(f);
    ImageReadRecord a, b;
    ASSERT_EQ(Read(file, a), 0);
    ASSERT_EQ(DibReadBytes(file, b), 0);
    ASSERT_EQ(a.dib.size(), b.dib.size());
    EXPECT_EQ(0, std::memcmp(a.dib.data(), b.dib.data(), a.dib.size()));
}

std::vector<std::array<int, 2>> g_progress;
void RecordProgress(int phase, int value, const char* text, int kind)
{
    g_progress.push_back({phase, phase == 0 ? kind : value});
}

TEST(DibRead, ReportsReadingProgressAndRemovesTheCallback)
{
    BmpForm f{.width = 200, .height = 200, .bits = 24};
    g_progress.clear();
    ImageReadRecord record;
    record.progress = RecordProgress;
    ASSERT_EQ(Read(Fixture(f), record), 0);
    ASSERT_GE(g_progress.size(), 3u);
    EXPECT_EQ(g_progress.front(), (std::array<int, 2>{0, PROGRESS_READING}));
    EXPECT_EQ(g_progress.back()[0], 2);
    int last = 0;
    for (std::size_t i = 1; i + 1 < g_progress.size(); ++i) {
        EXPECT_EQ(g_progress[i][0], 1);
        EXPECT_GT(g_progress[i][1] - last, 4);
        last = g_progress[i][1];
    }
    EXPECT_EQ(GetProgressCallback(), nullptr);
}

TEST(Progress, ReportsInStepsOfMoreThanFourPercent)
{
    g_progress.clear();
    SetProgressCallback(RecordProgress);
    ProgressBegin("x", 0, PROGRESS_READING); // a total of 0 counts as 1
    ProgressStep(1);
    ProgressBegin("x", 100, PROGRESS_READING);
    for (int done : {1, 4, 5, 9, 10, 14, 15})
        ProgressStep(done);
    ProgressEnd();
    SetProgressCallback(nullptr);
    const std::vector<std::array<int, 2>> expected = {{0, 1}, {1, 100}, {0, 1}, {1, 5}, {1, 10}, {1, 15}, {2, 0}};
    EXPECT_EQ(g_progress, expected);
}

} // namespace

TEST(DibRead, ClaimsTheFileCannotHoldAreRefusedBeforeAllocating)
{
    // 16384 x 16384 at 32 bits claims a gigabyte; the file holds six bytes of it.
    BmpForm huge{.width = 16384, .height = 16384, .bits = 32, .writeSizeImage = false};
    Bytes file = MakeBmp(huge, Bytes(6, 0));
    ASSERT_EQ(file.size(), 60u);
    ImageReadRecord record;
    {
        TraceCapture trace;
        EXPECT_EQ(Read(file, record), -2);
        EXPECT_FALSE(record.dib);
        EXPECT_TRUE(trace.Contains("DibRead: Pixel data missing, claimed=1073741824 present=6"));
    }
    // The same through a claimed image size, without a file header, with bit
    // fields and with a top-down core header.
    BmpForm sized{.width = 4, .height = 4, .bits = 24};
    Bytes bigSize = Fixture(sized);
    bigSize[34] = 0x00, bigSize[35] = 0x00, bigSize[36] = 0x00, bigSize[37] = 0x10; // 256 MiB
    EXPECT_EQ(Read(bigSize, record), -2);
    BmpForm bare = huge;
    bare.fileHeader = false;
    EXPECT_EQ(Read(MakeBmp(bare, Bytes(100, 0)), record), -2);
    BmpForm fields{.width = 8000, .height = 8000, .bits = 32, .compression = 3, .masks = {0xFF0000, 0xFF00, 0xFF},
                   .writeSizeImage = false};
    EXPECT_EQ(Read(MakeBmp(fields, Bytes(1000, 0)), record), -2);
    BmpForm core{.width = 16000, .height = 16000, .bits = 24, .core = true};
    EXPECT_EQ(Read(MakeBmp(core, Bytes(10, 0)), record), -2);

    // A file cut short but holding half of its pixels (or missing little) still loads.
    BmpForm photo{.width = 1000, .height = 1000, .bits = 24};
    Bytes cut = Fixture(photo);
    const std::size_t pixels = 3000u * 1000u;
    cut.resize(cut.size() - pixels / 2);
    EXPECT_EQ(Read(cut, record), 0);
    cut.resize(cut.size() - 70 * 1024);
    EXPECT_EQ(Read(cut, record), -2);
}

TEST(DibRead, CompressedDataIsCopiedOnlyAsFarAsTheFileGoes)
{
    // RLE may expand without bound, so the claim stands (up to the per-image
    // cap) but only the bytes in the file are set aside.
    BmpForm rle{.width = 16384, .height = 16384, .bits = 8, .compression = 1, .palette = Palette(2),
                .writeSizeImage = false};
    const Bytes data{0x00, 0x01}; // end of bitmap
    ImageReadRecord record;
    ASSERT_EQ(Read(MakeBmp(rle, data), record), 0);
    EXPECT_LE(record.dib.size(), 40u + 8u + data.size());
    EXPECT_EQ(record.dib.Header().biWidth, 16384);
}
