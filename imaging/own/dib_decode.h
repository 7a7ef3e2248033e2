#pragma once
// Decoding of every pixel form a packed DIB may hold (1, 4, 8 bits with a
// colour table, 16 and 32 bits with or without bit-field masks, 24 bits, RLE4
// and RLE8) into top-down rows. The header may claim anything: every size is
// checked against the block before a byte is read, and what does not fit is
// refused.
#include "imaging/own/device_bitmap.h"
#include "imaging/own/packed_dib.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Largest image (pixels) a decoded DIB or a device bitmap may have: its 32-bit
// form stays within the largest DIB the program accepts. Fuzzing builds use a
// smaller bound so that each run stays quick; the checks are the same.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr std::size_t kMaxDevicePixels = std::size_t(1) << 18;
#else
constexpr std::size_t kMaxDevicePixels = kMaxDibPixelBytes / 4;
#endif

struct DecodedDib {
    int width = 0;
    int height = 0;                     // rows, top row first
    int bits = 0;                       // the DIB's bits per pixel
    std::vector<PaletteEntry> table;    // the colour table (depths of 8 or less)
    std::vector<std::uint8_t> indices;  // depths of 8 or less, when asked for: one table index per pixel
    std::vector<std::uint32_t> pixels;  // when asked for: 0xFFRRGGBB per pixel
};

enum DecodeWant : int {
    DECODE_PIXELS = 1,   // fill `pixels`
    DECODE_INDICES = 2,  // fill `indices` (ignored above 8 bits)
};

// Decodes `dib` (a whole packed DIB block); false, with `out` cleared, when
// the header is unsupported or claims more than the block holds. RLE pixels
// that the codes skip stay at index 0; codes that run past an edge are clipped.
bool DecodeDibPixels(std::span<const std::uint8_t> dib, DecodedDib& out, int want = DECODE_PIXELS);

// The layout a header describes, checked against a block of `blockSize` bytes.
struct DibLayout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = 0;
    std::size_t tableOffset = 40;
    int tableEntries = 0;              // 4-byte entries present in the block
    std::size_t pixelOffset = 0;
    std::size_t pixelBytes = 0;        // bytes available to the pixel decoder
    std::size_t rowBytes = 0;          // uncompressed forms
    std::uint32_t masks[3] = {0, 0, 0}; // 16 and 32 bits: red, green, blue
};
bool DescribeDib(std::span<const std::uint8_t> dib, DibLayout& layout);
