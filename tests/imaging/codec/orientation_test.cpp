#include "imaging/codec/orientation.h"
#include "imaging/codec/resample.h"

#include "imaging/test_images.h"

#include <gtest/gtest.h>

namespace {
// Stored pixel that shows at upright (x, y) for each EXIF orientation.
std::pair<int, int> StoredOf(int o, int x, int y, int w, int h)
{
    switch (o) {
    case 2: return {w - 1 - x, y};
    case 3: return {w - 1 - x, h - 1 - y};
    case 4: return {x, h - 1 - y};
    case 5: return {y, x};
    case 6: return {y, h - 1 - x};
    case 7: return {w - 1 - y, h - 1 - x};
    case 8: return {w - 1 - y, x};
    default: return {x, y};
    }
}
} // namespace

TEST(Orientation, EveryOrientationDrawsUprightThroughTheResampler)
{
    const int w = 7, h = 4;
    std::vector<std::uint8_t> rgb(std::size_t(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rgb[(std::size_t(y) * w + x) * 3 + 1] = std::uint8_t(y * w + x);
    for (int o = 1; o <= 8; ++o) {
        const bool swap = OrientationSwapsAxes(o);
        const int uw = swap ? h : w, uh = swap ? w : h;
        // Drawn into the middle of a larger target to check the offsets too.
        const int tw = uw + 3, th = uh + 2;
        std::vector<std::uint32_t> target(std::size_t(tw) * th, 0);
        const SourceWindow stored = UprightToStored({0, 0, double(uw), double(uh)}, w, h, o);
        EXPECT_DOUBLE_EQ(stored.w, w);
        EXPECT_DOUBLE_EQ(stored.h, h);
        StreamResampler r(w, h, stored, w, h, PixelLayout::RGB24, 0,
                          OrientedOutput(target.data(), tw, 2, 1, w, h, o));
        for (int y = 0; y < h; ++y)
            r.PushRow(y, &rgb[std::size_t(y) * w * 3]);
        for (int y = 0; y < uh; ++y)
            for (int x = 0; x < uw; ++x) {
                auto [sx, sy] = StoredOf(o, x, y, w, h);
                ASSERT_EQ((target[std::size_t(y + 1) * tw + x + 2] >> 8) & 0xFF, unsigned(sy * w + sx))
                    << "orientation " << o << " at " << x << "," << y;
            }
    }
}

TEST(Orientation, UprightWindowMapsToTheStoredPart)
{
    // Orientation 6 (turn right): the upright top rows are the stored left columns.
    SourceWindow s = UprightToStored({0, 10, 40, 20}, 100, 40, 6);
    EXPECT_DOUBLE_EQ(s.x, 10);
    EXPECT_DOUBLE_EQ(s.y, 0);
    EXPECT_DOUBLE_EQ(s.w, 20);
    EXPECT_DOUBLE_EQ(s.h, 40);
    s = UprightToStored({5, 0, 10, 40}, 100, 40, 2);
    EXPECT_DOUBLE_EQ(s.x, 85);
}

