#include "imaging/codec/fit_geometry.h"

#include <cmath>
#include <cstdlib>

void FitInside(int sw, int sh, int& w, int& h, int mode)
{
    if ((w == sw && h == sh) || sw == 0 || w == 0)
        return;
    const double r = static_cast<double>(sh) / sw;
    if (mode == 2 || (mode == 0 && static_cast<double>(h) / w > r))
        h = static_cast<int>(std::floor(r * w + 0.5));
    else
        w = static_cast<int>(std::floor((1.0 / r) * h + 0.5));
}

CodecFit ComputeCodecFit(int sw, int sh, int W, int H, bool keepAspect, bool stretch)
{
    CodecFit fit;
    if (!stretch) {
        const int dx = W > sw ? (W - sw) / 2 : 0;
        const int dy = H > sh ? (H - sh) / 2 : 0;
        const int w = sw < W - dx ? sw : W - dx;
        const int h = sh < H - dy ? sh : H - dy;
        fit.dest = {dx, dy, w, h};
        fit.source = {0, 0, w, h};
        return fit;
    }
    int dw = W, dh = H, cx = 0, cy = 0;
    if (keepAspect) {
        FitInside(sw, sh, dw, dh, 0);
    } else if (sh > 0 && H > 0) {
        const double at = static_cast<double>(W) / H;
        const double as = static_cast<double>(sw) / sh;
        if (at < as) {
            const int n = static_cast<int>(sh * at);
            if (n != sw) {
                cx = static_cast<int>(std::floor(std::abs(n - sw) / 2.0) * 0.5);
                fit.crop = CropKind::LeftRight;
                fit.cropPixels = cx;
                fit.cropWidth = n;
                fit.cropHeight = sh;
            }
        } else {
            const int n = static_cast<int>(sw / at);
            if (n != sh) {
                cy = static_cast<int>(std::floor(std::abs(n - sh) / 2.0) * 0.5);
                fit.crop = CropKind::TopBottom;
                fit.cropPixels = cy;
                fit.cropWidth = sw;
                fit.cropHeight = n;
            }
        }
    }
    const int dx = W > dw ? (W - dw) / 2 : 0;
    const int dy = H > dh ? (H - dh) / 2 : 0;
    fit.dest = {dx, dy, dw, dh};
    fit.source = {cx, cy, sw - 2 * cx, sh - 2 * cy};
    return fit;
}
