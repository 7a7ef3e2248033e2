#include "imaging/own/dib_decode.h"

#include "imaging/own/packed_dib.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace {

std::uint32_t ReadU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

bool SupportedForm(int bits, std::uint32_t compression)
{
    switch (compression) {
    case BI_RGB_: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case BI_RLE8_: return bits == 8;
    case BI_RLE4_: return bits == 4;
    case BI_BITFIELDS_: return bits == 16 || bits == 32;
    default: return false;
    }
}

// One colour channel of a masked pixel word, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (m != 0) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    std::uint32_t operator()(std::uint32_t v) const
    {
        if (max == 0)
            return 0;
        const std::uint64_t value = (v & mask) >> shift;
        return std::uint32_t((value * 255 + max / 2) / max);
    }
};

// The RLE decoders write indices into a top-down buffer; positions past an edge are dropped.
class RleTarget {
public:
    RleTarget(const DibLayout& l, std::uint8_t* out) : l_(l), out_(out) {}

    bool RowInside() const { return y_ < l_.height; }
    void Put(std::uint8_t index)
    {
        if (x_ < l_.width && y_ < l_.height) {
            const std::int64_t row = l_.topDown ? y_ : l_.height - 1 - y_;
            out_[std::size_t(row) * std::size_t(l_.width) + std::size_t(x_)] = index;
        }
        ++x_;
    }
    void Fill(std::uint8_t index, int count)
    {
        if (y_ < l_.height && x_ < l_.width) {
            const std::int64_t row = l_.topDown ? y_ : l_.height - 1 - y_;
            const std::int64_t end = std::min<std::int64_t>(x_ + count, l_.width);
            std::uint8_t* p = out_ + std::size_t(row) * std::size_t(l_.width);
            std::fill(p + x_, p + end, index);
        }
        x_ += count;
    }
    void EndOfLine() { x_ = 0; ++y_; }
    void Delta(int dx, int dy) { x_ += dx; y_ += dy; }

private:
    const DibLayout& l_;
    std::uint8_t* out_;
    std::int64_t x_ = 0;
    std::int64_t y_ = 0;
};

void DecodeRle(const DibLayout& l, const std::uint8_t* src, std::uint8_t* out)
{
    RleTarget t(l, out);
    const std::size_t n = l.pixelBytes;
    const bool four = l.bits == 4;
    std::size_t pos = 0;
    while (pos + 2 <= n && t.RowInside()) {
        const int count = src[pos];
        const std::uint8_t value = src[pos + 1];
        pos += 2;
        if (count > 0) {
            if (!four) {
                t.Fill(value, count);
            } else {
                for (int i = 0; i < count; ++i)
                    t.Put((i & 1) ? (value & 0x0F) : (value >> 4));
            }
            continue;
        }
        if (value == 0) {
            t.EndOfLine();
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (pos + 2 > n)
                return;
            t.Delta(src[pos], src[pos + 1]);
            pos += 2;
        } else {
            // Absolute run of `value` pixels, padded to a 16-bit boundary.
            const std::size_t bytes = four ? (std::size_t(value) + 1) / 2 : std::size_t(value);
            for (int i = 0; i < value; ++i) {
                const std::size_t at = pos + (four ? std::size_t(i) / 2 : std::size_t(i));
                if (at >= n)
                    return;
                const std::uint8_t b = src[at];
                t.Put(four ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            pos += (bytes + 1) & ~std::size_t(1);
        }
    }
}

void DecodeIndexedRows(const DibLayout& l, const std::uint8_t* src, std::uint8_t* out)
{
    const int bits = l.bits;
    const int perByte = 8 / bits;
    const int mask = (1 << bits) - 1;
    for (int r = 0; r < l.height; ++r) {
        const std::uint8_t* in = src + std::size_t(r) * l.rowBytes;
        const int y = l.topDown ? r : l.height - 1 - r;
        std::uint8_t* o = out + std::size_t(y) * std::size_t(l.width);
        if (bits == 8) {
            std::memcpy(o, in, std::size_t(l.width));
            continue;
        }
        for (int x = 0; x < l.width; ++x) {
            const int shift = 8 - bits * (x % perByte + 1);
            o[x] = std::uint8_t((in[x / perByte] >> shift) & mask);
        }
    }
}

void DecodeTrueColourRows(const DibLayout& l, const std::uint8_t* src, std::uint32_t* out)
{
    const Channel red(l.masks[0]), green(l.masks[1]), blue(l.masks[2]);
    for (int r = 0; r < l.height; ++r) {
        const std::uint8_t* in = src + std::size_t(r) * l.rowBytes;
        const int y = l.topDown ? r : l.height - 1 - r;
        std::uint32_t* o = out + std::size_t(y) * std::size_t(l.width);
        if (l.bits == 24) {
            for (int x = 0; x < l.width; ++x, in += 3)
                o[x] = 0xFF000000u | std::uint32_t(in[2]) << 16 | std::uint32_t(in[1]) << 8 | in[0];
            continue;
        }
        for (int x = 0; x < l.width; ++x) {
            std::uint32_t v;
            if (l.bits == 16) {
                v = std::uint32_t(in[0]) | std::uint32_t(in[1]) << 8;
                in += 2;
            } else {
                v = ReadU32(in);
                in += 4;
            }
            o[x] = 0xFF000000u | red(v) << 16 | green(v) << 8 | blue(v);
        }
    }
}

} // namespace

bool DescribeDib(std::span<const std::uint8_t> dib, DibLayout& l)
{
    l = DibLayout{};
    if (dib.size() < sizeof(BitmapInfoHeader))
        return false;
    BitmapInfoHeader h;
    std::memcpy(&h, dib.data(), sizeof h);
    const std::size_t size = dib.size();
    if (h.biSize < 40 || h.biSize > 4096 || h.biSize > size)
        return false;
    if (!SupportedForm(h.biBitCount, h.biCompression))
        return false;
    const std::int64_t height = h.biHeight < 0 ? -std::int64_t(h.biHeight) : std::int64_t(h.biHeight);
    if (h.biWidth <= 0 || height == 0 || height > 0x7FFFFFFF)
        return false;
    if (std::uint64_t(h.biWidth) * std::uint64_t(height) > kMaxDevicePixels)
        return false;
    l.width = h.biWidth;
    l.height = int(height);
    l.topDown = h.biHeight < 0;
    l.bits = h.biBitCount;
    l.compression = h.biCompression;
    l.tableOffset = h.biSize;

    const bool bitFields = h.biCompression == BI_BITFIELDS_;
    std::uint64_t tableBytes;
    if (bitFields) {
        // The three masks follow a 40-byte header; larger headers hold them inside.
        if (size < 52)
            return false;
        for (int i = 0; i < 3; ++i)
            l.masks[i] = ReadU32(dib.data() + 40 + 4 * i);
        l.tableOffset = std::max<std::size_t>(h.biSize, 52);
        tableBytes = 0;
    } else {
        const int entries = DibColorCount(h);
        tableBytes = 4 * std::uint64_t(std::uint32_t(entries));
        if (l.bits <= 8)
            l.tableEntries = std::min(entries, 1 << l.bits);
        if (l.bits == 16) {
            l.masks[0] = 0x7C00; l.masks[1] = 0x03E0; l.masks[2] = 0x001F;
        } else if (l.bits == 32) {
            l.masks[0] = 0xFF0000; l.masks[1] = 0xFF00; l.masks[2] = 0xFF;
        }
    }
    if (l.tableOffset + tableBytes > size)
        return false;
    l.pixelOffset = l.tableOffset + std::size_t(tableBytes);
    const std::size_t available = size - l.pixelOffset;

    if (h.biCompression == BI_RLE8_ || h.biCompression == BI_RLE4_) {
        l.pixelBytes = h.biSizeImage != 0 ? std::min<std::size_t>(available, h.biSizeImage) : available;
        return true;
    }
    const std::int64_t rowBytes = DibRowBytes(l.width, l.bits);
    const std::uint64_t need = std::uint64_t(rowBytes) * std::uint64_t(l.height);
    if (need > kMaxDibPixelBytes || need > available)
        return false;
    l.rowBytes = std::size_t(rowBytes);
    l.pixelBytes = std::size_t(need);
    return true;
}

bool DecodeDibPixels(std::span<const std::uint8_t> dib, DecodedDib& out, int want)
{
    out = DecodedDib{};
    DibLayout l;
    if (!DescribeDib(dib, l))
        return false;
    try {
        const std::size_t count = std::size_t(l.width) * std::size_t(l.height);
        const std::uint8_t* src = dib.data() + l.pixelOffset;
        out.width = l.width;
        out.height = l.height;
        out.bits = l.bits;
        if (l.bits > 8) {
            if (want & DECODE_PIXELS) {
                out.pixels.resize(count);
                DecodeTrueColourRows(l, src, out.pixels.data());
            }
            return true;
        }
        out.table.resize(std::size_t(l.tableEntries));
        for (int i = 0; i < l.tableEntries; ++i) {
            const std::uint8_t* e = dib.data() + l.tableOffset + 4 * std::size_t(i);
            out.table[std::size_t(i)] = PaletteEntry{e[2], e[1], e[0], 0};
        }
        out.indices.resize(count);
        if (l.compression == BI_RLE8_ || l.compression == BI_RLE4_)
            DecodeRle(l, src, out.indices.data());
        else
            DecodeIndexedRows(l, src, out.indices.data());
        if (want & DECODE_PIXELS) {
            std::uint32_t lut[256];
            for (int i = 0; i < 256; ++i) {
                const PaletteEntry e = i < l.tableEntries ? out.table[std::size_t(i)] : PaletteEntry{};
                lut[i] = 0xFF000000u | std::uint32_t(e.red) << 16 | std::uint32_t(e.green) << 8 | e.blue;
            }
            out.pixels.resize(count);
            for (std::size_t i = 0; i < count; ++i)
                out.pixels[i] = lut[out.indices[i]];
        }
        if (!(want & DECODE_INDICES))
            std::vector<std::uint8_t>().swap(out.indices);
        return true;
    } catch (const std::bad_alloc&) {
        out = DecodedDib{};
        return false;
    }
}
