#pragma once
// The EXIF block of a WebP file. Qt's WebP reader neither turns photos nor
// tells their metadata, so the codec path reads the "EXIF" chunk itself.
#include <cstddef>
#include <cstdint>
#include <vector>

class ByteSource;

// True when the bytes start like a WebP file ("RIFF", size, "WEBP").
bool LooksLikeWebp(const std::uint8_t* head, std::size_t size);

// The payload of the file's "EXIF" chunk (the TIFF structure, sometimes
// behind the JPEG segment's "Exif\0\0"); empty when there is none or the
// file is malformed.
std::vector<std::uint8_t> WebpExifBlock(ByteSource& source);
