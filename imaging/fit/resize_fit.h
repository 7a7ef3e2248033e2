#pragma once
// Fitting a decoded photo that is larger than the wanted texture into a new
// bitmap of exactly W x H: the image-codec path (aspect kept or partly
// cropped, high-quality resampling) and the own-reader path (filled or
// letter-boxed by the photo's shape, plain row and column dropping).
#include "imaging/codec/fit_geometry.h"

class CBitmapEx;
class CodecImage;
class CSaverSettings;

// Both give, in `picture` when asked, where the photo lies in the new bitmap
// (the whole of it unless there are bands around the photo).

// Reads KeepAspectRatio, BackColor and CubeTransp. 0, or -1 with the target empty.
int ResizeBmp_gdiplus(CBitmapEx& target, CodecImage& image, int W, int H, int stretch,
                      const CSaverSettings& settings, FitRect* picture = nullptr);

// Reads BackColor and the display depth. 0, or -1 with the target without a bitmap.
int ResizeBmp(CBitmapEx& target, CBitmapEx& source, int W, int H, int stretch,
              const CSaverSettings& settings, FitRect* picture = nullptr);
