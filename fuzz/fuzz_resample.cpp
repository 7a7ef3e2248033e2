// The resampler at random sizes, windows, pixel layouts and orientations:
// every pixel of the destination rectangle is written opaque and nothing
// outside it is touched.
//
// Input: 16 bytes of parameters, then source pixels (repeated as needed).
#include "imaging/codec/orientation.h"
#include "imaging/codec/resample.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {
constexpr std::uint32_t kSentinel = 0x12345678u;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 17)
        return 0;
    const std::uint8_t* p = data;
    // Up to 512 source pixels a side, 256 out: every ratio, quick runs.
    const int srcW = 1 + (p[0] | (p[1] & 1) << 8);
    const int srcH = 1 + (p[2] | (p[3] & 1) << 8);
    const int outW = 1 + p[4];
    const int outH = 1 + p[6];
    // A window inside the source, fractional edges included.
    const double x = srcW * (p[8] / 256.0), y = srcH * (p[9] / 256.0);
    const double w = (srcW - x) * ((p[10] + 1) / 256.0), h = (srcH - y) * ((p[11] + 1) / 256.0);
    const PixelLayout layout = static_cast<PixelLayout>(p[12] % 4);
    const int orientation = 1 + p[13] % 8;
    const bool wide = p[13] & 0x80;
    const std::uint32_t background = p[14] * 0x010203u & 0xFFFFFFu;
    const std::uint8_t* pixels = data + 16;
    const std::size_t pixelBytes = size - 16;

    const bool swap = OrientationSwapsAxes(orientation);
    const int destW = swap ? outH : outW, destH = swap ? outW : outH;
    const int margin = p[15] % 3;
    const int stride = destW + 2 * margin, rows = destH + 2 * margin;
    std::vector<std::uint32_t> target(static_cast<std::size_t>(stride) * rows, kSentinel);
    const OutputMap out = OrientedOutput(target.data(), stride, margin, margin, outW, outH, orientation);

    StreamResampler resampler(srcW, srcH, {x, y, w, h}, outW, outH, layout, background, out, wide);
    const int bpp = layout == PixelLayout::RGB24 ? 3 : 4;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(srcW) * bpp);
    std::size_t at = 0;
    if (resampler.FirstRow() < 0 || resampler.EndRow() > srcH || resampler.FirstRow() > resampler.EndRow())
        std::abort();
    for (int r = resampler.FirstRow(); r < resampler.EndRow() && !resampler.Done(); ++r) {
        for (auto& b : row) {
            b = pixels[at];
            at = (at + 1) % pixelBytes;
        }
        resampler.PushRow(r, row.data());
    }
    if (!resampler.Done())
        std::abort();
    for (int ty = 0; ty < rows; ++ty)
        for (int tx = 0; tx < stride; ++tx) {
            const std::uint32_t v = target[static_cast<std::size_t>(ty) * stride + tx];
            const bool inside = tx >= margin && tx < margin + destW && ty >= margin && ty < margin + destH;
            if (inside ? (v >> 24) != 0xFF : v != kSentinel)
                std::abort();
        }
    return 0;
}
