#pragma once
// Fixture files for the reader tests, written byte by byte, and the means to
// compare what a reader made with what Qt's own image reader makes of the
// same bytes.
#include "imaging/packed_dib.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
// Pixels 0xAARRGGBB, row-major, top row first.
struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> argb;
    bool operator==(const Pixels&) const = default;
};

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
// Compresses through libjpeg; components 1 (grey), 3 (RGB) or 4 (CMYK).
Bytes MakeJpeg(int width, int height, int components, const std::function<std::uint32_t(int x, int y)>& rgb,
               int quality = 95);

// --- comparing -------------------------------------------------------------
// Expands an uncompressed packed DIB (1, 4, 8 bits with table; 16, 24, 32 bits,
// with or without bit fields; either row order).
Pixels ExpandDib(const PackedDib& dib);
// Qt's reading of the file (its first frame), as opaque 0xFFRRGGBB pixels.
Pixels QtDecode(const Bytes& file);
// Largest difference of any channel between two images of the same size; -1 if sizes differ.
int MaxChannelDifference(const Pixels& a, const Pixels& b);

// A temporary file holding `bytes`, removed with the object.
class TempFile {
public:
    explicit TempFile(const Bytes& bytes, const std::string& ext = ".img");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const char* path() const { return path_.c_str(); }

private:
    std::string path_;
};

// Collects ReaderTrace texts while alive.
class TraceCapture {
public:
    TraceCapture();
    ~TraceCapture();
    const std::vector<std::string>& texts() const;
    bool Contains(const std::string& text) const;
};
