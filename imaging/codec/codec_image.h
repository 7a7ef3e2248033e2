#pragma once
// A photo opened on the image-codec path: JPEGs through libjpeg with scaled
// decoding, HEIC/HEIF and AVIF through libheif (codec_heif.h),
// every other format Qt's image readers know (WebP and TIFF among them) through those. The
// format is decided by the file's content, never by its name.
#include "imaging/codec/fit_geometry.h"
#include "imaging/own/device_bitmap.h"

#include <cstdint>
#include <memory>
#include <string>

// Status codes of the codec path, reported in "Error %d loading file=%s".
enum CodecStatus : int {
    kCodecOk = 0,
    kCodecGenericError = 1,
    kCodecInvalidParameter = 2,
    kCodecOutOfMemory = 3,
    kCodecFileNotFound = 10,
    kCodecUnknownImageFormat = 13,
};

class CodecImage {
public:
    virtual ~CodecImage() = default;

    // Opens `path`. With `autoRotate` a camera orientation is applied, so the
    // sizes and drawing are those of the upright picture. Null on failure,
    // with the status and a readable reason.
    static std::unique_ptr<CodecImage> Open(const std::string& path, bool autoRotate, int& status,
                                            std::string& reason);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Short name of the decoder, for diagnostics.
    virtual const char* Decoder() const = 0;

    // Draws `source` (upright pixels) into `dest` of the 32-bit `target`,
    // scaled when the sizes differ, translucent pixels laid over `background`
    // (0x00RRGGBB). Every pixel written is opaque. Answers a CodecStatus.
    virtual int Draw(DeviceBitmap& target, const FitRect& dest, const FitRect& source,
                     std::uint32_t background, std::string& reason) = 0;

protected:
    int width_ = 0;
    int height_ = 0;
};
