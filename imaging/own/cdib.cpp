#include "imaging/own/cdib.h"

#include "imaging/own/bitmap_ex.h"
#include "imaging/own/dib_from_bitmap.h"

#include <istream>
#include <ostream>

namespace {

constexpr std::size_t kFileHeader = 14;
// Header, the largest colour table or masks, and the largest pixel area.
constexpr std::uint64_t kMaxStoredDib = 40 + 4 * 256 + kMaxDibPixelBytes;

void PutU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

std::uint32_t GetU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

enum : std::uint8_t { TAG_DIB = 0, TAG_BITMAP = 1, TAG_EMPTY = 255 };

} // namespace

void CDib::Serialize(std::ostream& out) const
{
    std::uint8_t header[kFileHeader] = {'B', 'M'};
    const std::size_t size = block.size();
    const BitmapInfoHeader h = block.Header();
    PutU32(header + 2, std::uint32_t(size + kFileHeader));
    PutU32(header + 10, block ? std::uint32_t(kFileHeader + h.biSize + 4 * std::uint64_t(h.biClrUsed)) : 14u);
    out.write(reinterpret_cast<const char*>(header), kFileHeader);
    if (block)
        out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(size));
}

bool CDib::Serialize(std::istream& in)
{
    block.Reset();
    std::uint8_t header[kFileHeader];
    if (!in.read(reinterpret_cast<char*>(header), kFileHeader))
        return false;
    const std::uint32_t fileSize = GetU32(header + 2);
    if (header[0] != 'B' || header[1] != 'M' || fileSize < kFileHeader)
        return false;
    const std::size_t size = fileSize - kFileHeader;
    if (size == 0)
        return true;
    if (size < sizeof(BitmapInfoHeader) || size > kMaxStoredDib)
        return false;
    PackedDib dib = PackedDib::Allocate(size);
    if (!dib || !in.read(reinterpret_cast<char*>(dib.data()), std::streamsize(size)))
        return false;
    block = std::move(dib);
    return true;
}

void CBitmapEx::Serialize(std::ostream& out) const
{
    if (dib) {
        out.put(char(TAG_DIB));
        dib.Serialize(out);
        return;
    }
    if (bitmap) {
        CDib copy;
        copy.block = DibFromBitmap(*bitmap, palette.get(), 0, false);
        if (copy) {
            out.put(char(TAG_BITMAP));
            copy.Serialize(out);
            return;
        }
    }
    out.put(char(TAG_EMPTY));
}

bool CBitmapEx::Serialize(std::istream& in)
{
    const int tag = in.get();
    if (tag == std::istream::traits_type::eof())
        return false;
    if (tag == TAG_EMPTY) {
        Clear();
        return true;
    }
    if (tag != TAG_DIB && tag != TAG_BITMAP)
        return false;
    CDib stored;
    if (!stored.Serialize(in))
        return false;
    SetDib(std::move(stored.block));
    if (tag == TAG_BITMAP)
        DibToBitmap();
    return true;
}
