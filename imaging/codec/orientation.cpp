#include "imaging/codec/orientation.h"

int NormalizeOrientation(int orientation)
{
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}

SourceWindow UprightToStored(const SourceWindow& r, int w, int h, int orientation)
{
    switch (NormalizeOrientation(orientation)) {
    case 2: return {w - r.x - r.w, r.y, r.w, r.h};
    case 3: return {w - r.x - r.w, h - r.y - r.h, r.w, r.h};
    case 4: return {r.x, h - r.y - r.h, r.w, r.h};
    case 5: return {r.y, r.x, r.h, r.w};
    case 6: return {r.y, h - r.x - r.w, r.h, r.w};
    case 7: return {w - r.y - r.h, h - r.x - r.w, r.h, r.w};
    case 8: return {w - r.y - r.h, r.x, r.h, r.w};
    default: return r;
    }
}

OutputMap OrientedOutput(std::uint32_t* target, std::ptrdiff_t stride, int left, int top,
                         int outW, int outH, int orientation)
{
    const std::ptrdiff_t W = outW, H = outH, S = stride;
    std::ptrdiff_t ox = 0, oy = 0, sx = 1, sy = S;
    switch (NormalizeOrientation(orientation)) {
    case 2: ox = W - 1; sx = -1; sy = S; break;
    case 3: ox = W - 1; oy = H - 1; sx = -1; sy = -S; break;
    case 4: oy = H - 1; sx = 1; sy = -S; break;
    case 5: sx = S; sy = 1; break;
    case 6: ox = H - 1; sx = S; sy = -1; break;
    case 7: ox = H - 1; oy = W - 1; sx = -S; sy = -1; break;
    case 8: oy = W - 1; sx = -S; sy = 1; break;
    default: break;
    }
    return {target + (top + oy) * S + left + ox, sx, sy};
}
