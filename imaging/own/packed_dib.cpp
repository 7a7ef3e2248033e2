#include "imaging/own/packed_dib.h"

#include <cstdlib>

PackedDib PackedDib::Allocate(std::size_t size)
{
    PackedDib dib;
    if (size == 0)
        return dib;
    dib.data_.reset(static_cast<std::uint8_t*>(std::calloc(size, 1)));
    if (dib.data_)
        dib.size_ = size;
    return dib;
}

void PackedDib::Free::operator()(std::uint8_t* p) const { std::free(p); }

BitmapInfoHeader PackedDib::Header() const
{
    BitmapInfoHeader h{};
    if (size_ >= sizeof h)
        std::memcpy(&h, data_.get(), sizeof h);
    return h;
}

void PackedDib::SetHeader(const BitmapInfoHeader& h)
{
    if (size_ >= sizeof h)
        std::memcpy(data_.get(), &h, sizeof h);
}

std::size_t PackedDib::PixelOffset() const
{
    BitmapInfoHeader h = Header();
    if ((h.biBitCount == 16 || h.biBitCount == 32) && h.biCompression == BI_BITFIELDS_)
        return 40 + 12;
    return 40 + 4 * static_cast<std::size_t>(h.biClrUsed);
}

int DibColorCount(const BitmapInfoHeader& h, bool core)
{
    // A count beyond int is nonsense; saturate rather than turn negative.
    if (!core && h.biClrUsed != 0)
        return h.biClrUsed > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(h.biClrUsed);
    switch (h.biBitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

PackedDib CreateDib(int width, int height, int bits, bool topDown)
{
    int depth = bits <= 1 ? 1 : bits <= 4 ? 4 : bits <= 8 ? 8 : 24;
    int colours = depth == 24 ? 0 : (1 << depth);
    if (width <= 0 || height <= 0)
        return {};
    std::int64_t image = static_cast<std::int64_t>(height) * DibRowBytes(width, depth);
    if (image > static_cast<std::int64_t>(kMaxDibPixelBytes))
        return {};
    PackedDib dib = PackedDib::Allocate(40 + 4 * static_cast<std::size_t>(colours) + static_cast<std::size_t>(image));
    if (!dib)
        return dib;
    BitmapInfoHeader h;
    h.biWidth = width;
    h.biHeight = topDown ? -height : height;
    h.biBitCount = static_cast<std::uint16_t>(depth);
    h.biSizeImage = static_cast<std::uint32_t>(image);
    h.biClrUsed = h.biClrImportant = static_cast<std::uint32_t>(colours);
    dib.SetHeader(h);
    return dib;
}
