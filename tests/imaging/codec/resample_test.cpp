#include "imaging/codec/resample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <vector>

namespace {
constexpr double kPi = 3.14159265358979323846;

struct Gray {
    int w, h;
    std::vector<std::uint8_t> rgb;   // RGB24 rows
    Gray(int w_, int h_) : w(w_), h(h_), rgb(std::size_t(w_) * h_ * 3) {}
    void Set(int x, int y, int v)
    {
        auto* p = &rgb[(std::size_t(y) * w + x) * 3];
        p[0] = p[1] = p[2] = std::uint8_t(std::clamp(v, 0, 255));
    }
};

std::vector<std::uint32_t> Resample(const Gray& g, SourceWindow win, int ow, int oh, bool wide = true)
{
    std::vector<std::uint32_t> out(std::size_t(ow) * oh, 0);
    StreamResampler r(g.w, g.h, win, ow, oh, PixelLayout::RGB24, 0, OutputMap{out.data(), 1, ow}, wide);
    for (int y = 0; y < g.h; ++y)
        r.PushRow(y, &g.rgb[std::size_t(y) * g.w * 3]);
    EXPECT_TRUE(r.Done());
    return out;
}

int Green(std::uint32_t p) { return int((p >> 8) & 0xFF); }

// A smooth chart: the reference value of a destination pixel is the chart's
// mean over the pixel's footprint, integrated numerically.
double Chart(double x, double y) { return 128 + 90 * std::sin(2 * kPi * x / 173.0) * std::cos(2 * kPi * y / 131.0); }
} // namespace

TEST(Resample, UnscaledCopiesExactly)
{
    Gray g(37, 23);
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x)
            g.Set(x, y, (x * 7 + y * 13) % 256);
    auto out = Resample(g, {0, 0, 37, 23}, 37, 23);
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x) {
            ASSERT_EQ(Green(out[std::size_t(y) * 37 + x]), (x * 7 + y * 13) % 256) << x << "," << y;
            ASSERT_EQ(out[std::size_t(y) * 37 + x] >> 24, 0xFFu);
        }
}

TEST(Resample, DownscaledChartIsCloseToTheAreaReference)
{
    const int sw = 1600, sh = 1200, ow = 400, oh = 300;
    Gray g(sw, sh);
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x)
            g.Set(x, y, int(std::lround(Chart(x + 0.5, y + 0.5))));
    auto out = Resample(g, {0, 0, double(sw), double(sh)}, ow, oh);
    double cubicErr = 0, pointErr = 0;
    int n = 0;
    for (int y = 4; y < oh - 4; y += 3)
        for (int x = 4; x < ow - 4; x += 3) {
            double ref = 0;
            for (int j = 0; j < 4; ++j)
                for (int i = 0; i < 4; ++i)
                    ref += Chart(x * 4 + i + 0.5, y * 4 + j + 0.5);
            ref /= 16;
            const double c = Green(out[std::size_t(y) * ow + x]) - ref;
            const double p = g.rgb[(std::size_t(y * 4) * sw + x * 4) * 3] - ref;
            cubicErr += c * c;
            pointErr += p * p;
            ++n;
        }
    cubicErr = std::sqrt(cubicErr / n);
    pointErr = std::sqrt(pointErr / n);
    EXPECT_LT(cubicErr, 1.0);
    EXPECT_LT(cubicErr, pointErr * 0.5);
}

TEST(Resample, DetailFinerThanTheTargetIsAveragedNotAliased)
{
    // One-pixel stripes reduced by 3: a dropping scaler shows solid stripes.
    Gray g(900, 300);
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x)
            g.Set(x, y, x % 2 ? 255 : 0);
    auto out = Resample(g, {0, 0, 900, 300}, 300, 100);
    for (int x = 5; x < 295; ++x)
        EXPECT_NEAR(Green(out[50 * 300 + x]), 127, 12) << x;
}

TEST(Resample, EdgesAreMirroredNotDarkened)
{
    Gray g(50, 40);
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x)
            g.Set(x, y, 200);
    for (auto [ow, oh] : {std::pair{13, 11}, std::pair{120, 90}}) {
        auto out = Resample(g, {0, 0, 50, 40}, ow, oh);
        for (std::uint32_t p : out)
            ASSERT_EQ(p, 0xFFC8C8C8u);
    }
}

TEST(Resample, FractionalWindowSamplesOnlyItsPart)
{
    // Left half black, right half white; a window inside the white half stays white.
    Gray g(64, 16);
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x)
            g.Set(x, y, x < 32 ? 0 : 255);
    auto out = Resample(g, {32.0, 2.5, 31.5, 11.0}, 10, 4);
    for (std::uint32_t p : out)
        ASSERT_EQ(Green(p), 255);
}

TEST(Resample, TranslucentPixelsAreLaidOverTheBackgroundAndComeOutOpaque)
{
    // Straight alpha: transparent left half, opaque red right half.
    const int w = 16, h = 4;
    std::vector<std::uint8_t> bgra(std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto* p = &bgra[(std::size_t(y) * w + x) * 4];
            p[0] = 0; p[1] = 0; p[2] = 255; p[3] = x < 8 ? 0 : 255;
            if (x < 8) { p[0] = 123; p[1] = 45; p[2] = 67; }   // hidden colour
        }
    std::vector<std::uint32_t> out(std::size_t(w) * h);
    StreamResampler r(w, h, {0, 0, double(w), double(h)}, w, h, PixelLayout::BGRA32, 0x00112233u,
                      OutputMap{out.data(), 1, w});
    for (int y = 0; y < h; ++y)
        r.PushRow(y, &bgra[std::size_t(y) * w * 4]);
    EXPECT_EQ(out[0], 0xFF112233u);
    EXPECT_EQ(out[15], 0xFFFF0000u);
}

TEST(Resample, WideAndNarrowVectorsAgree)
{
    Gray g(301, 203);
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x)
            g.Set(x, y, (x * x + 3 * y) % 256);
    // Fused multiply-adds round once instead of twice: a byte may differ by one.
    for (auto [ow, oh] : {std::pair{97, 61}, std::pair{128, 128}, std::pair{301, 203}, std::pair{640, 411}}) {
        const auto wide = Resample(g, {0.5, 1, 300, 200}, ow, oh, true);
        const auto narrow = Resample(g, {0.5, 1, 300, 200}, ow, oh, false);
        int worst = 0;
        for (std::size_t i = 0; i < wide.size(); ++i)
            for (int s = 0; s < 32; s += 8)
                worst = std::max(worst, std::abs(int((wide[i] >> s) & 0xFF) - int((narrow[i] >> s) & 0xFF)));
        EXPECT_LE(worst, 1) << ow << "x" << oh;
    }
}

TEST(Resample, UpscalesSmoothly)
{
    Gray g(300, 200);
    for (int y = 0; y < g.h; ++y)
        for (int x = 0; x < g.w; ++x)
            g.Set(x, y, x * 255 / 299);
    auto out = Resample(g, {0, 0, 300, 200}, 512, 512);
    for (int x = 2; x < 510; ++x)
        EXPECT_GE(Green(out[256 * 512 + x]) + 1, Green(out[256 * 512 + x - 1]));
}
