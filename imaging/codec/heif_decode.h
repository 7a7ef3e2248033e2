#pragma once
// HEIC/HEIF and AVIF photos through libheif. The decoder picks the smallest
// stored picture (the primary image or one of its thumbnails) that still
// covers what the fit needs and streams its rows into the resampler.
//
// Orientation: libheif applies the file's own transformations (rotation,
// mirroring, crop). Phones also write the same turn as an EXIF orientation;
// it is applied only when the file has no transformation of its own, so a
// photo is never turned twice.
#include "imaging/codec/exif.h"
#include "imaging/codec/orientation.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class ByteSource;

// True when the bytes start with an ISO media "ftyp" box naming a HEIF or
// AVIF brand (the first 32 bytes or so are enough).
bool LooksLikeHeif(std::span<const std::uint8_t> head);

// True when the file's item properties hold a rotation ("irot") or mirror
// ("imir"). Malformed boxes end the search.
bool HeifHasTransformations(std::span<const std::uint8_t> file);

class HeifDecoder {
public:
    HeifDecoder();
    ~HeifDecoder();
    HeifDecoder(const HeifDecoder&) = delete;
    HeifDecoder& operator=(const HeifDecoder&) = delete;

    enum class Failure { None, Unreadable, Unsupported, TooLarge, Corrupt };

    // Reads the file's structure (or takes the bytes) and its primary image.
    // False with Error() and Why() set when it is not a HEIF the library can read.
    bool Open(const std::string& path);
    bool Open(std::vector<std::uint8_t> bytes);

    // The primary image after its transformations.
    int Width() const;
    int Height() const;
    // The EXIF orientation still to apply: 1 when none, or when the file
    // turns the picture itself.
    int Orientation() const;
    const std::string& Error() const;
    Failure Why() const;

    struct Size {
        int width = 0, height = 0;
    };
    // Index into `images` (0 = the full picture, fullW x fullH) of the
    // smallest one of the same shape in which `window` (full-size pixels)
    // still has at least outW x outH pixels.
    static std::size_t ChooseImage(std::span<const Size> images, const SourceWindow& window, int outW,
                                   int outH);

    // Decodes the chosen picture and resamples `window` (full-size pixels,
    // after the transformations) to outW x outH pixels written through
    // `out`, translucent pixels laid over `background` (0x00RRGGBB).
    bool DecodeInto(const SourceWindow& window, int outW, int outH, std::uint32_t background, OutputMap out);
    // The size of the picture the last DecodeInto decoded.
    Size Decoded() const;

    struct Impl;

private:
    bool OpenPrimary(std::span<const std::uint8_t> head);
    std::unique_ptr<Impl> impl_;
};

// A whole HEIF picture fitted into an edge x edge square, aspect kept and
// upright. For the command-line tool and fuzzing.
struct HeifPicture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;   // 0xAARRGGBB, opaque
    std::string error;                   // empty on success
};
HeifPicture DecodeHeif(std::span<const std::uint8_t> bytes, int edge);

// The EXIF facts of the primary image of a HEIF or AVIF file, as its EXIF
// block states them (the file's own transformations are not weighed here).
// Defaults when there is none or libheif cannot read the file.
ExifFacts HeifExif(ByteSource& source);
