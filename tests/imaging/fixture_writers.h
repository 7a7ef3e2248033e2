#pragma once
// Image files written byte by byte (BMP, GIF) or through libjpeg's compressor,
// for the reader tests and the fuzzers' seed corpora. No Qt here.
#include "imaging/own/packed_dib.h"

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
// --- BMP -------------------------------------------------------------------
struct BmpForm {
    int width = 0, height = 0, bits = 24;
    std::uint32_t compression = 0;
    bool topDown = false;
    bool fileHeader = true;
    bool core = false;                     // 12-byte OS/2 header, 3-byte table entries
    std::vector<std::uint32_t> palette = {}; // 0x00RRGGBB
    std::array<std::uint32_t, 3> masks{};  // bit fields (compression 3)
    std::uint32_t gap = 0;                 // junk bytes between table and pixels
    bool writeSizeImage = true;
};
// Stored rows for `form` (its height and top-down flag) with the value of each pixel.
Bytes PackRows(const BmpForm& form, const std::function<std::uint32_t(int x, int y)>& value);
Bytes MakeBmp(const BmpForm& form, const Bytes& pixelBytes);

// --- GIF -------------------------------------------------------------------
// The LZW data of `indices`: the code-size byte, sub-blocks, terminator.
Bytes GifLzw(const std::vector<std::uint8_t>& indices, int minCodeSize);
// Codes written as given with the given widths, packed into sub-blocks (for malformed streams).
Bytes GifRawCodes(int minCodeSize, const std::vector<std::pair<int, int>>& codeAndBits);

struct GifImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> indices = {}; // top row first
    std::vector<std::uint32_t> palette = {}; // 0x00RRGGBB; a power of two, 2 to 256 entries
    bool local = false;                 // local table instead of the global one
    bool interlaced = false;
    int minCodeSize = 0;                // 0: from the palette size (at least 2)
};
// A GIF89a file; `extensions` are raw blocks put before the first image.
Bytes MakeGif(const std::vector<GifImage>& frames, const Bytes& extensions = {});
// Rows in the order an interlaced GIF stores them.
std::vector<int> InterlacedOrder(int height);

// --- JPEG ------------------------------------------------------------------
// Compresses through libjpeg; components 1 (grey), 3 (RGB, given as 0xRRGGBB) or
// 4 (CMYK, given as 0xCCMMYYKK).
Bytes MakeJpeg(int width, int height, int components, const std::function<std::uint32_t(int x, int y)>& rgb,
               int quality = 95, bool progressive = false);
// A progressive JPEG with `copies` more DC refinement scans before its end,
// each 15 bytes and each a full pass over the image for a decoder. Empty when
// `progressive` is not a progressive JPEG as MakeJpeg writes it.
Bytes WithRepeatedScans(const Bytes& progressive, int copies);
