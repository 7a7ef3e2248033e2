#include "imaging/codec/orientation.h"

#include <cstring>

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

namespace {
struct TiffReader {
    std::span<const std::uint8_t> data;
    bool little = true;
    bool Read16(std::size_t at, unsigned& v) const
    {
        if (at + 2 > data.size())
            return false;
        v = little ? data[at] | data[at + 1] << 8 : data[at] << 8 | data[at + 1];
        return true;
    }
    bool Read32(std::size_t at, std::uint32_t& v) const
    {
        unsigned a, b;
        if (!Read16(at, a) || !Read16(at + 2, b))
            return false;
        v = little ? (std::uint32_t(b) << 16 | a) : (std::uint32_t(a) << 16 | b);
        return true;
    }
};
} // namespace

int ExifOrientation(std::span<const std::uint8_t> app1)
{
    if (app1.size() < 14 || std::memcmp(app1.data(), "Exif\0\0", 6) != 0)
        return 1;
    TiffReader t{app1.subspan(6)};
    if (t.data[0] == 'I' && t.data[1] == 'I')
        t.little = true;
    else if (t.data[0] == 'M' && t.data[1] == 'M')
        t.little = false;
    else
        return 1;
    unsigned magic, count;
    std::uint32_t ifd;
    if (!t.Read16(2, magic) || magic != 42 || !t.Read32(4, ifd) || !t.Read16(ifd, count))
        return 1;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = std::size_t(ifd) + 2 + 12 * std::size_t(i);
        unsigned tag, type, value;
        if (!t.Read16(entry, tag) || !t.Read16(entry + 2, type))
            return 1;
        if (tag != 0x0112)
            continue;
        if (type != 3 || !t.Read16(entry + 8, value))
            return 1;
        return NormalizeOrientation(static_cast<int>(value));
    }
    return 1;
}
