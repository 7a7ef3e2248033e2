#pragma once
// What the show takes from a photo's EXIF block: the camera orientation and
// the day the photo was taken. The block itself is parsed by libexif; the
// containers that carry it are in photo_exif.h.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// A calendar day as the camera wrote it (its own local time; no time zone).
struct TakenDate {
    int year = 0, month = 0, day = 0;
    bool operator==(const TakenDate&) const = default;
};

struct ExifFacts {
    int orientation = 1;            // 1..8; 1 when none or not a valid value
    std::optional<TakenDate> taken; // DateTimeOriginal, else DateTime
};

// `block` is an APP1 payload ("Exif\0\0" and the TIFF structure) or the TIFF
// structure alone, as WebP, PNG and HEIF files store it. Anything malformed
// gives what could be read, at worst the defaults.
ExifFacts ParseExif(std::span<const std::uint8_t> block);

// The date of an EXIF date-time text ("2019:03:12 14:30:00"; dashes, slashes
// or dots between the date's fields are taken too). None for blanks, zeros
// and days that do not exist.
std::optional<TakenDate> ParseExifDate(std::string_view text);
