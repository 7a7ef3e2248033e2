#pragma once
// The EXIF orientation of a WebP file. Qt's WebP reader does not turn photos,
// so the codec path reads the "EXIF" chunk itself.
#include <cstddef>
#include <cstdint>
#include <string>

// True when the bytes start like a WebP file ("RIFF", size, "WEBP").
bool LooksLikeWebp(const std::uint8_t* head, std::size_t size);

// The orientation in the file's "EXIF" chunk; 1 when there is none, the file
// cannot be read or the chunk is malformed.
int WebpExifOrientation(const std::string& path);
