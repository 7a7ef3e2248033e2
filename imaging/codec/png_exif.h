#pragma once
// The EXIF block of a PNG file: its "eXIf" chunk, which may come before or
// after the image data (ImageMagick writes it after).
#include <cstddef>
#include <cstdint>
#include <vector>

class ByteSource;

// True when the bytes start with the PNG signature.
bool LooksLikePng(const std::uint8_t* head, std::size_t size);

// The payload of the "eXIf" chunk (the TIFF structure); empty when there is
// none or the file is malformed.
std::vector<std::uint8_t> PngExifBlock(ByteSource& source);
