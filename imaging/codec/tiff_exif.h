#pragma once
// The EXIF facts of a TIFF file. A TIFF is itself the structure an EXIF block
// has, but its directories may lie anywhere in a large file, so it is read
// through libtiff rather than handed to the EXIF parser whole.
#include "imaging/codec/exif.h"

#include <cstddef>
#include <cstdint>

class ByteSource;

// True when the bytes start with a TIFF header (either byte order).
bool LooksLikeTiff(const std::uint8_t* head, std::size_t size);

// Orientation and date of the first directory and its EXIF directory:
// DateTimeOriginal there, else the first directory's DateTime. Defaults when
// the file cannot be read.
ExifFacts TiffExif(ByteSource& source);
