#pragma once
// JPEG decoding through libjpeg's DCT-domain scaling: the image is decoded at
// the smallest M/8 scale that still covers what the fit needs, and its rows go
// straight into the resampler, so a large photo is never held at full size.
#include "imaging/codec/exif.h"
#include "imaging/codec/orientation.h"

#include <cstdint>
#include <memory>
#include <string>

class ByteSource;

class JpegScaledDecoder {
public:
    JpegScaledDecoder();
    ~JpegScaledDecoder();
    JpegScaledDecoder(const JpegScaledDecoder&) = delete;
    JpegScaledDecoder& operator=(const JpegScaledDecoder&) = delete;

    // Opens the file and reads its header and EXIF block. False with
    // Error() set when the file is not a readable JPEG.
    bool Open(const std::string& path);
    // The same from `source`, which must outlive the decoder.
    bool Open(ByteSource& source);
    int Width() const;          // as stored
    int Height() const;
    int Orientation() const;    // EXIF value, 1 when none
    const ExifFacts& Exif() const;
    // libjpeg can turn the colour space into RGB (CMYK and YCCK it cannot).
    bool RgbCapable() const;
    const std::string& Error() const;

    // The numerator M of the smallest scale M/8 whose image still holds
    // `window` (in full-size stored pixels) with at least outW x outH pixels.
    static int ChooseScale(int fullW, int fullH, const SourceWindow& window, int outW, int outH);

    // Decodes at the chosen scale and resamples `window` (full-size stored
    // pixels) to outW x outH stored-orientation pixels written through `out`.
    // The decoder can decode once per Open. False with Error() on a fatal error.
    bool DecodeInto(const SourceWindow& window, int outW, int outH, OutputMap out);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// True when the bytes start like a JPEG file (SOI followed by a marker).
bool LooksLikeJpeg(const std::uint8_t* head, std::size_t size);
