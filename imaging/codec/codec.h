#pragma once
// The image-codec path: a photo opened by its content (JPEG with scaled
// decoding, HEIC/HEIF and AVIF, everything Qt's readers know), turned upright
// and drawn resampled into the rectangle the fit chooses; and the EXIF facts
// (orientation, date taken) of a photo of any format that carries them.
#include "imaging/codec/codec_image.h"
#include "imaging/codec/fit_geometry.h"
#include "imaging/codec/orientation.h"
#include "imaging/codec/photo_exif.h"
