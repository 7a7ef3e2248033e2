#pragma once
// What every reader fuzzer does around one call: trace texts are formatted
// (so their format arguments are exercised) and progress is reported to a
// callback that keeps nothing.
#include "imaging/own/image_read.h"
#include "imaging/own/reader_trace.h"

#include <cstdlib>

inline void FuzzIgnoreProgress(int, int, const char*, int) {}
inline void FuzzIgnoreTrace(const char*) {}

inline void FuzzSetUp() { SetReaderTraceSink(FuzzIgnoreTrace); }

// A handed-on block must hold its header, its table and its pixel rows.
inline void FuzzCheckBlock(const PackedDib& dib, bool fullRows)
{
    if (!dib)
        return;
    const BitmapInfoHeader h = dib.Header();
    const std::int64_t rows = h.biHeight < 0 ? -static_cast<std::int64_t>(h.biHeight) : h.biHeight;
    std::int64_t need = static_cast<std::int64_t>(dib.PixelOffset());
    if (fullRows)
        need += rows * DibRowBytes(h.biWidth, h.biBitCount);
    if (dib.size() < 40 || static_cast<std::int64_t>(dib.size()) < need)
        std::abort();
}
