#pragma once
// HEIC/HEIF and AVIF photos on the image-codec path.
#include "imaging/codec/codec_image.h"

#include <memory>
#include <string>

// Opens a HEIF or AVIF file as a CodecImage; the pixels are decoded only when
// it is drawn, at the smallest stored size that covers the drawing. Null on
// failure, with a CodecStatus and a readable reason.
std::unique_ptr<CodecImage> OpenHeifImage(const std::string& path, bool autoRotate, int& status,
                                          std::string& reason);
