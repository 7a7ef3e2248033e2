#pragma once
// The means to compare what a reader made with what Qt's own image reader
// makes of the same bytes, and the reader tests' temporary files and traces.
#include "fixture_writers.h"

#include <string>

// Pixels 0xAARRGGBB, row-major, top row first.
struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> argb;
    bool operator==(const Pixels&) const = default;
};

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
