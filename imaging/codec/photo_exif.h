#pragma once
// The EXIF facts of a photo file of any format that carries them: JPEG (its
// APP1 segment, through libjpeg), HEIC/HEIF and AVIF (the "Exif" item,
// through libheif), WebP (the "EXIF" chunk), PNG (the "eXIf" chunk) and TIFF
// (its own directories, through libtiff). The format is told by the content.
#include "imaging/codec/exif.h"

#include <string>

class ByteSource;

ExifFacts ReadPhotoExif(ByteSource& source);
// Defaults when the file cannot be opened.
ExifFacts ReadPhotoExif(const std::string& path);
