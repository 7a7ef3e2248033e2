#pragma once
// The GIF image data decoder: variable-length LZW codes of 3 to 12 bits in
// data sub-blocks, written row by row (interlaced or not) into an 8-bit
// bottom-up DIB.
#include "imaging/own/byte_source.h"

#include <cstdint>

// Puts decoded lines into their DIB rows in GIF row order.
class GifRowSink {
public:
    GifRowSink(std::uint8_t* pixels, int width, int height, bool interlaced);
    // One line of at least width + 3 bytes (a padded DIB row); lines beyond the
    // last row are dropped.
    void Output(const std::uint8_t* line);
    int width() const { return width_; }

private:
    std::uint8_t* pixels_;
    int width_, height_, stride_;
    bool interlaced_;
    int row_ = 0;
    int step_;
    int pass_ = 0;
};

// Decodes from the minimum-code-size byte to the end code. Answers 0, -2 (the
// data ends early or is corrupt), -4 (no memory) or -6 (code size outside 2 to 9).
int DecodeGifLzw(ByteSource& src, GifRowSink& rows);
