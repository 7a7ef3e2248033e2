#include "imaging/own/image_read.h"
#include "imaging/read_test_fixtures.h"

#include <gtest/gtest.h>

#include <QImage>

namespace {

std::uint32_t Photo(int x, int y)
{
    return static_cast<std::uint32_t>((x * 5 + y) & 0xFF) << 16 | static_cast<std::uint32_t>((y * 3) & 0xFF) << 8 |
           static_cast<std::uint32_t>((x * y) & 0xFF);
}

int Read(const Bytes& file, ImageReadRecord& record)
{
    TempFile tmp(file, ".jpg");
    return JpegRead(tmp.path(), record);
}

TEST(JpegRead, ColourImageIs24BitBottomUpAsQtDecodesIt)
{
    const Bytes file = MakeJpeg(67, 45, 3, Photo);
    ImageReadRecord record;
    ASSERT_EQ(Read(file, record), 0);
    const BitmapInfoHeader h = record.dib.Header();
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biHeight, 45);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_LE(MaxChannelDifference(ExpandDib(record.dib), QtDecode(file)), 1);

    // Fast decoding stays close on smooth content; grey output is 8 bits.
    const Bytes smooth = MakeJpeg(67, 45, 3, [](int x, int y) { return Photo(x / 4, y / 4); });
    record.options = JPEG_READ_FAST;
    ASSERT_EQ(Read(smooth, record), 0);
    EXPECT_LE(MaxChannelDifference(ExpandDib(record.dib), QtDecode(smooth)), 24);
    record.options = JPEG_READ_GREY;
    ASSERT_EQ(Read(file, record), 0);
    EXPECT_EQ(record.dib.Header().biBitCount, 8);
}

TEST(JpegRead, GreyImageHasAGreyTable)
{
    const Bytes file = MakeJpeg(30, 20, 1, [](int x, int y) { return static_cast<std::uint32_t>(x * 8 + y); });
    ImageReadRecord record;
    ASSERT_EQ(Read(file, record), 0);
    const BitmapInfoHeader h = record.dib.Header();
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biClrUsed, 256u);
    for (int i = 0; i < 256; ++i) {
        const std::uint8_t* e = record.dib.data() + 40 + 4 * i;
        ASSERT_TRUE(e[0] == i && e[1] == i && e[2] == i && e[3] == 0) << i;
    }
    EXPECT_LE(MaxChannelDifference(ExpandDib(record.dib), QtDecode(file)), 1);
}

TEST(JpegRead, RefusesCmykAndNonJpegData)
{
    TraceCapture trace;
    ImageReadRecord record;
    EXPECT_EQ(Read(MakeJpeg(16, 16, 4, [](int x, int y) { return 0x10203040u; }), record), -7);
    EXPECT_TRUE(trace.Contains("JpegRead: Unsupported Color Space 0x4"));
    EXPECT_EQ(Read({'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'}, record), -7);
    EXPECT_FALSE(trace.texts().back().rfind("JpegRead Error: ", 0));
    EXPECT_EQ(Read({}, record), -7);
    EXPECT_FALSE(record.dib);
    EXPECT_EQ(JpegRead("/nonexistent.jpg", record), -1);
    EXPECT_EQ(JpegRead(std::string(512, 'j').c_str(), record), -1);
}

TEST(JpegRead, TruncatedFileDecodesWithAWarning)
{
    Bytes file = MakeJpeg(64, 64, 3, Photo);
    file.resize(file.size() / 2);
    TraceCapture trace;
    ImageReadRecord record;
    EXPECT_EQ(Read(file, record), 0);
    EXPECT_EQ(record.dib.Header().biWidth, 64);
    EXPECT_FALSE(trace.texts().empty());
}

TEST(JpegRead, AbsurdSizeIsRefusedBeforeDecoding)
{
    Bytes file = MakeJpeg(8, 8, 3, Photo);
    // The frame header (FFC0): length 2, precision 1, height 2, width 2.
    for (std::size_t i = 0; i + 8 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = file[i + 7] = 0xFF;
            file[i + 6] = file[i + 8] = 0xD0;
            break;
        }
    TraceCapture trace;
    ImageReadRecord record;
    EXPECT_EQ(Read(file, record), -7);
    EXPECT_TRUE(trace.Contains("JpegRead: InitBmp/InitDib Error -4"));
    EXPECT_TRUE(trace.Contains("          width=65488, height=65488"));
}

std::vector<int> g_phases;
void RecordPhase(int phase, int, const char*, int kind)
{
    g_phases.push_back(phase == 0 ? 10 * kind : phase);
}

TEST(JpegRead, ReportsProgressAndMemoryEntryMatchesTheFile)
{
    const Bytes file = MakeJpeg(40, 300, 3, Photo);
    g_phases.clear();
    ImageReadRecord a, b;
    a.progress = RecordPhase;
    ASSERT_EQ(Read(file, a), 0);
    ASSERT_GE(g_phases.size(), 3u);
    EXPECT_EQ(g_phases.front(), 10 * PROGRESS_READING);
    EXPECT_EQ(g_phases.back(), 2);
    EXPECT_EQ(GetProgressCallback(), nullptr);
    ASSERT_EQ(JpegReadBytes(file, b), 0);
    ASSERT_EQ(a.dib.size(), b.dib.size());
    EXPECT_EQ(std::memcmp(a.dib.data(), b.dib.data(), a.dib.size()), 0);
}

} // namespace
