#pragma once
// The libjpeg set-up of both JPEG decoders (the own reader and the codec
// path's scaled decoder): fatal errors jump back to the decoder with the
// library's text, input comes from a ByteSource, and every decompression
// carries the same limits on scans and memory.
#include "imaging/own/byte_source.h"
#include "imaging/own/packed_dib.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio> // jpeglib.h wants FILE and size_t declared first

#include <jpeglib.h>

// A progressive file may repeat a refinement scan without end, and every scan
// costs the decoder a pass over the whole image: 10,000 scans of 15 bytes
// each keep a 12-megapixel photo busy for seconds. Encoders write about ten
// (libjpeg's progression writes ten, and camera and web files stay below
// twenty), so a tenfold margin refuses no real photo and bounds the waste to
// a fraction of a second.
constexpr int kMaxJpegScans = 100;

// A progressive file keeps every coefficient of the image in the library's
// whole-image buffers; they may use twice the largest pixel area a photo may
// have, and past that the library reports an error instead of allocating.
constexpr long kMaxJpegMemory = static_cast<long>(2 * kMaxDibPixelBytes);

struct JpegErrorManager {
    jpeg_error_mgr pub; // first: libjpeg hands back its address
    std::jmp_buf jump;  // where a fatal error returns to
    // The text of the fatal error (the library's message, or the limit that was hit).
    char message[JMSG_LENGTH_MAX];
    // Sees every message the library outputs (its warnings and the fatal
    // error); none keeps them silent.
    void (*report)(const char* text);
};

struct JpegSourceManager {
    static constexpr std::size_t kBufferBytes = 4096;
    jpeg_source_mgr pub; // first, as above
    ByteSource* src;
    bool startOfFile;
    JOCTET buffer[kBufferBytes];
};

struct JpegMonitor {
    jpeg_progress_mgr pub; // first, as above
    JpegErrorManager* err;
    // The decoder's own progress report, called after the limit check; may be none.
    void (*progress)(j_common_ptr cinfo, void* context);
    void* context;
};

// One decompression with everything its recovery path releases. Held where a
// jump back skips no destructor (the heap, or a frame without C++ objects).
struct JpegDecompress {
    jpeg_decompress_struct cinfo{};
    JpegErrorManager err{};
    JpegSourceManager source{};
    JpegMonitor monitor{};
    bool created = false;
};

// Sets up in two steps around the decoder's own setjmp(jpeg.err.jump), since
// a jump may only return into a frame that is still running:
// first the error manager (nothing here can fail), ...
void JpegPrepareErrors(JpegDecompress& jpeg);
// ... then, after the setjmp, the decompressor with its limits and its input.
// `src` must outlive the decompression.
void JpegCreate(JpegDecompress& jpeg, ByteSource& src);
// Destroys the decompressor when it was created; safe to repeat.
void JpegDestroy(JpegDecompress& jpeg);
