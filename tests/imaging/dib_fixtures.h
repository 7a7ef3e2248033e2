#pragma once
// Builders of packed DIBs of every form, and their BMP-file wrapping, for the
// bitmap tests.
#include "imaging/own/packed_dib.h"

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace dibtest {

inline void PutU16(std::vector<std::uint8_t>& v, std::size_t at, std::uint16_t x)
{
    v[at] = std::uint8_t(x);
    v[at + 1] = std::uint8_t(x >> 8);
}
inline void PutU32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v[at + std::size_t(i)] = std::uint8_t(x >> (8 * i));
}

struct DibSpec {
    int width = 0;
    int height = 0;           // rows
    bool topDown = false;
    int bits = 24;
    std::uint32_t compression = BI_RGB_;
    int colours = 0;          // colour-table entries
    std::uint32_t masks[3] = {0, 0, 0};
};

// A packed DIB with the header of `s`, a random colour table and `pixels`
// (the stored pixel bytes; random uncompressed rows when empty).
inline std::vector<std::uint8_t> MakeDib(const DibSpec& s, std::vector<std::uint8_t> pixels = {},
                                         unsigned seed = 1)
{
    std::mt19937 rng(seed);
    const bool fields = s.compression == BI_BITFIELDS_;
    const std::size_t table = fields ? 12 : 4 * std::size_t(s.colours);
    if (pixels.empty()) {
        pixels.resize(std::size_t(DibRowBytes(s.width, s.bits)) * std::size_t(s.height));
        for (auto& b : pixels)
            b = std::uint8_t(rng());
    }
    std::vector<std::uint8_t> dib(40 + table + pixels.size());
    BitmapInfoHeader h;
    h.biWidth = s.width;
    h.biHeight = s.topDown ? -s.height : s.height;
    h.biBitCount = std::uint16_t(s.bits);
    h.biCompression = s.compression;
    h.biSizeImage = std::uint32_t(pixels.size());
    h.biClrUsed = h.biClrImportant = fields ? 0 : std::uint32_t(s.colours);
    std::memcpy(dib.data(), &h, sizeof h);
    if (fields) {
        for (int i = 0; i < 3; ++i)
            PutU32(dib, 40 + 4 * std::size_t(i), s.masks[i]);
    } else {
        for (std::size_t i = 0; i < table; i += 4) {
            dib[40 + i] = std::uint8_t(rng());
            dib[40 + i + 1] = std::uint8_t(rng());
            dib[40 + i + 2] = std::uint8_t(rng());
        }
    }
    std::memcpy(dib.data() + 40 + table, pixels.data(), pixels.size());
    return dib;
}

// The DIB as a BMP file: 14-byte file header in front.
inline std::vector<std::uint8_t> BmpFile(const std::vector<std::uint8_t>& dib)
{
    BitmapInfoHeader h;
    std::memcpy(&h, dib.data(), sizeof h);
    const std::size_t table = h.biCompression == BI_BITFIELDS_ ? 12 : 4 * std::size_t(h.biClrUsed);
    std::vector<std::uint8_t> file(14 + dib.size());
    file[0] = 'B';
    file[1] = 'M';
    PutU32(file, 2, std::uint32_t(file.size()));
    PutU32(file, 10, std::uint32_t(14 + 40 + table));
    std::memcpy(file.data() + 14, dib.data(), dib.size());
    return file;
}

inline PackedDib ToBlock(const std::vector<std::uint8_t>& bytes)
{
    PackedDib block = PackedDib::Allocate(bytes.size());
    std::memcpy(block.data(), bytes.data(), bytes.size());
    return block;
}

} // namespace dibtest
