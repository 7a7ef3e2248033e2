#pragma once
// The caption step of the loader: after a photo is fitted, the caption the
// Caption setting asks for is drawn into its bitmap, so it turns with the
// cube and costs nothing per frame.
#include "imaging/codec/fit_geometry.h"

#include <string>

class CBitmapEx;
class CSaverSettings;

// `picture` is where the photo lies in the target's bitmap, `face` the edge
// of the face it is made for (the wanted size), `path` the photo's file.
// With Caption 0 (or any value but 1 to 3) it does nothing at all.
void CaptionPhoto(CBitmapEx& target, const FitRect& picture, int face, const std::string& path,
                  const CSaverSettings& settings);
