// The palette-display conversion: median cut, nearest-entry search, error
// diffusion and their progress reports.
#include "imaging/own/bitmap_ex.h"
#include "imaging/own/dib_decode.h"
#include "imaging/own/palette.h"
#include "imaging/own/progress.h"
#include "imaging/own/quantiser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

class Quantiser : public testing::Test {
protected:
    void TearDown() override { SetDisplayDepth(24); }
};

struct Report {
    int phase, value;
    std::string text;
    int kind;
};
std::vector<Report> g_reports;
void Record(int phase, int value, const char* text, int kind)
{
    g_reports.push_back({phase, value, text ? text : "", kind});
}

// A photo-like 24-bit picture: a sky gradient, a textured hill, a sun, sensor noise.
std::vector<std::uint32_t> Photo(int w, int h)
{
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0.0, 4.0);
    std::vector<std::uint32_t> px;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double r, g, b;
            const double hill = h * 0.6 + 12 * std::sin(x * 0.08);
            if (y > hill) {
                r = 40 + 30 * std::sin(x * 0.3) * std::cos(y * 0.2);
                g = 110 + 50 * (y - hill) / h;
                b = 30;
            } else if (std::hypot(x - w * 0.75, y - h * 0.25) < h * 0.12) {
                r = 255; g = 220; b = 120;
            } else {
                r = 90 + 100.0 * y / h; g = 140 + 60.0 * y / h; b = 230 - 30.0 * y / h;
            }
            auto c = [&](double v) { return std::uint32_t(std::clamp(v + noise(rng), 0.0, 255.0)); };
            px.push_back(0xFF000000u | c(r) << 16 | c(g) << 8 | c(b));
        }
    }
    return px;
}

PackedDib Dib24(const std::vector<std::uint32_t>& px, int w, int h)
{
    PackedDib dib = CreateDib(w, h, 24, true);
    const std::size_t row = std::size_t(DibRowBytes(w, 24));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = dib.data() + 40 + std::size_t(y) * row + 3 * std::size_t(x);
            const std::uint32_t v = px[std::size_t(y * w + x)];
            p[0] = std::uint8_t(v);
            p[1] = std::uint8_t(v >> 8);
            p[2] = std::uint8_t(v >> 16);
        }
    return dib;
}

int Channel(std::uint32_t v, int c) { return int(v >> (8 * c) & 0xFF); }

} // namespace

TEST_F(Quantiser, PhotoOnAnEightBitDisplay)
{
    const int w = 160, h = 120;
    const auto px = Photo(w, h);
    SetDisplayDepth(8);
    CBitmapEx r;
    r.SetDib(Dib24(px, w, h));
    ASSERT_EQ(r.DibToBitmap(), 1);
    ASSERT_TRUE(r.palette);
    const auto& pal = r.palette->entries;
    EXPECT_LE(pal.size(), std::size_t(236 + kReservedColours));
    EXPECT_GT(pal.size(), std::size_t(100)) << "a photo uses most of the palette";

    // Pixel by pixel the dithered image strays a little; averaged over 4 x 4
    // blocks it must come back close to the original.
    double pixelError = 0, blockError = 0;
    for (int by = 0; by < h; by += 4) {
        for (int bx = 0; bx < w; bx += 4) {
            for (int c = 0; c < 3; ++c) {
                int sumSrc = 0, sumOut = 0;
                for (int y = by; y < by + 4; ++y)
                    for (int x = bx; x < bx + 4; ++x) {
                        const std::size_t at = std::size_t(y * w + x);
                        const int out = Channel(EntryArgb(pal[r.bitmap->indices[at]]), c);
                        sumSrc += Channel(px[at], c);
                        sumOut += out;
                        pixelError += std::abs(out - Channel(px[at], c));
                    }
                blockError += std::abs(sumSrc - sumOut) / 16.0;
            }
        }
    }
    pixelError /= 3.0 * w * h;
    blockError /= 3.0 * (w / 4) * (h / 4);
    EXPECT_LT(pixelError, 8.0);
    EXPECT_LT(blockError, 2.5);
}

TEST_F(Quantiser, FewColoursGiveOneBoxEach)
{
    std::vector<std::uint32_t> px = {0xFF3500F2u, 0xFF3500F2u, 0xFF000000u, 0xFFFFFFFFu, 0xFF3500F2u, 0xFF000000u};
    const auto colours = MedianCutColours(px, 3, 2, 236);
    ASSERT_EQ(colours.size(), 3u);
    std::vector<PaletteEntry> want = {{0, 0, 0, 0}, {0x3F, 0, 0xFF, 0}, {0xFF, 0xFF, 0xFF, 0}};
    auto sorted = colours;
    std::sort(sorted.begin(), sorted.end(), [](auto& a, auto& b) { return a.red < b.red; });
    EXPECT_EQ(sorted, want);
    // Never more than asked for.
    EXPECT_EQ(MedianCutColours(px, 3, 2, 2).size(), 2u);
}

TEST_F(Quantiser, NearestEntryIsTheWeightedClosest)
{
    std::mt19937 rng(11);
    DevicePalette pal;
    for (int i = 0; i < 50; ++i)
        pal.entries.push_back({std::uint8_t(rng()), std::uint8_t(rng()), std::uint8_t(rng()), 0});
    auto distance = [&](int i, int r, int g, int b) {
        const auto& e = pal.entries[std::size_t(i)];
        return 3 * (e.red - r) * (e.red - r) + 4 * (e.green - g) * (e.green - g) + 2 * (e.blue - b) * (e.blue - b);
    };
    for (int n = 0; n < 300; ++n) {
        // A fresh cache each time: the cache answers for the whole grid cell.
        NearestEntryCache cache(pal);
        const int r = int(rng() % 256), g = int(rng() % 256), b = int(rng() % 256);
        int best = 0;
        for (int i = 1; i < 50; ++i)
            if (distance(i, r, g, b) < distance(best, r, g, b))
                best = i;
        EXPECT_EQ(distance(cache.Find(r, g, b), r, g, b), distance(best, r, g, b));
    }
    NearestEntryCache cache(pal);
    EXPECT_EQ(cache.Find(0x12, 0x34, 0x56), cache.Find(0x1F, 0x3F, 0x5F));
}

TEST_F(Quantiser, ErrorIsSpreadSevenThreeFiveOne)
{
    // Worked by hand: 100 takes grey 43 and sends 57 on: 24 to the right,
    // 17 below, 3 below right; the right pixel takes 31 and sends -7 on: -1
    // below left, -2 below. 16 then shares 24's grid cell, so 31 again, and
    // its -15 leaves nothing for the last pixel.
    DevicePalette pal;
    pal.entries = {{0, 0, 0, 0}, {43, 43, 43, 0}, {31, 31, 31, 0}, {6, 6, 6, 0}};
    const std::vector<std::uint32_t> px = {0xFF646464u, 0xFF000000u, 0xFF000000u, 0xFF000000u};
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(DiffuseToPalette(px, 2, 2, pal, out));
    EXPECT_EQ(out, (std::vector<std::uint8_t>{1, 2, 2, 0}));

    DevicePalette bw;
    bw.entries = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    ASSERT_TRUE(DiffuseToPalette(std::vector<std::uint32_t>{0xFF808080u, 0xFF808080u}, 2, 1, bw, out));
    EXPECT_EQ(out, (std::vector<std::uint8_t>{1, 0}));
}

TEST_F(Quantiser, GreyOnAOneBitDisplayIsHalfWhite)
{
    SetDisplayDepth(1);
    const int w = 64, h = 64;
    CBitmapEx r;
    r.SetDib(Dib24(std::vector<std::uint32_t>(std::size_t(w * h), 0xFF808080u), w, h));
    ASSERT_EQ(r.DibToBitmap(), 1);
    const auto& idx = r.bitmap->indices;
    const auto white = std::count(idx.begin(), idx.end(), 1);
    EXPECT_NEAR(double(white) / double(idx.size()), 0.5, 0.05);
}

TEST_F(Quantiser, ProgressPhasesAndTexts)
{
    SetDisplayDepth(8);
    const int w = 20, h = 64;
    g_reports.clear();
    {
        ScopedProgress scope(Record);
        CBitmapEx r;
        r.SetDib(Dib24(Photo(w, h), w, h));
        ASSERT_EQ(r.DibToBitmap(), 1);
    }
    std::vector<std::pair<std::string, int>> begins;
    int last = -1, ends = 0;
    for (const Report& rep : g_reports) {
        if (rep.phase == 0) {
            begins.push_back({rep.text, rep.kind});
            last = 0;
        } else if (rep.phase == 1) {
            EXPECT_GT(rep.value - last, 4);
            EXPECT_LE(rep.value, 100);
            last = rep.value;
        } else {
            ++ends;
        }
    }
    const std::vector<std::pair<std::string, int>> want = {
        {"Costruzione Istogramma", 3}, {"Generazione Palette", 4}, {"Generazione Immagine", 5}};
    EXPECT_EQ(begins, want);
    EXPECT_EQ(ends, 3);

    // Few colours on a 4-bit display: only the image phase.
    SetDisplayDepth(4);
    g_reports.clear();
    {
        ScopedProgress scope(Record);
        CBitmapEx r;
        r.SetDib(Dib24(Photo(w, h), w, h));
        ASSERT_EQ(r.DibToBitmap(), 1);
    }
    ASSERT_FALSE(g_reports.empty());
    EXPECT_EQ(g_reports.front().text, "Generazione Immagine");
}

TEST_F(Quantiser, ProgressThresholds)
{
    g_reports.clear();
    ScopedProgress scope(Record);
    ProgressBegin("t", 100, PROGRESS_READING);
    for (int done = 1; done <= 4; ++done)
        ProgressStep(done);
    EXPECT_EQ(g_reports.size(), 1u);
    ProgressStep(5);
    ProgressStep(9);
    ProgressStep(10);
    ASSERT_EQ(g_reports.size(), 3u);
    EXPECT_EQ(g_reports[1].value, 5);
    EXPECT_EQ(g_reports[2].value, 10);
    ProgressBegin("zero", 0, PROGRESS_READING);
    ProgressStep(1);
    ASSERT_EQ(g_reports.size(), 5u);
    EXPECT_EQ(g_reports[4].value, 100);
}
