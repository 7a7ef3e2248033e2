#pragma once
// Fitting and loading: the next photo of the image list decoded on the
// codec path or by the own readers, and fitted into the wanted square.
#include "imaging/fit/image_loader.h"
#include "imaging/fit/resize_fit.h"
