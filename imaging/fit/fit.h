#pragma once
// Fitting and loading: the next photo of the image list decoded on the
// codec path or by the own readers, fitted into the wanted square, and
// captioned with its date taken or its folder when the settings ask.
#include "imaging/fit/caption_band.h"
#include "imaging/fit/caption_text.h"
#include "imaging/fit/image_loader.h"
#include "imaging/fit/photo_caption.h"
#include "imaging/fit/resize_fit.h"
