#pragma once
// The program's own image readers. Each decodes one file into a packed DIB
// handed back through the ImageReadRecord, and answers 0 or a failure code.
// The *Bytes forms decode a file image already in memory the same way.
#include "imaging/own/packed_dib.h"
#include "imaging/own/progress.h"

#include <cstdint>
#include <span>

// The record through which the loader calls a reader.
struct ImageReadRecord {
    ProgressFn progress = nullptr; // in: installed as the progress callback for the call
    PackedDib dib;                 // out: the decoded image on success; empty otherwise
    std::uint32_t reserved3 = 0;
    std::uint32_t reserved4 = 0;
    std::uint32_t options = 0;     // in: reader option (JpegRead only)
};

// Failure codes.
enum : int {
    READ_OK = 0,
    READ_CANNOT_OPEN = -1,
    READ_TRUNCATED = -2,   // a header or table cannot be read in full, or the data ends early
    READ_NO_MEMORY = -4,
    READ_BAD_FORMAT = -5,  // not this format, or a header no image can have
    READ_NO_IMAGE = -6,    // GIF: no image descriptor, or an invalid LZW code size
    READ_JPEG_FAILED = -7, // any JPEG decoding failure
};

// JpegRead options.
enum : std::uint32_t {
    JPEG_READ_GREY = 1, // decode to grey whatever the file's colours
    JPEG_READ_FAST = 2, // fast integer inverse DCT, no smoothing upsampling
};

int DibRead(const char* fileName, ImageReadRecord& record);
int GifRead(const char* fileName, ImageReadRecord& record);
int JpegRead(const char* fileName, ImageReadRecord& record);

int DibReadBytes(std::span<const std::uint8_t> file, ImageReadRecord& record);
int GifReadBytes(std::span<const std::uint8_t> file, ImageReadRecord& record);
int JpegReadBytes(std::span<const std::uint8_t> file, ImageReadRecord& record);
