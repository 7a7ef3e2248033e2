#pragma once
// A packed DIB made from a device bitmap.
#include "imaging/own/device_bitmap.h"
#include "imaging/own/packed_dib.h"

// A new packed DIB of the device bitmap; depth 0 = the bitmap's own. Empty on failure.
PackedDib DibFromBitmap(const DeviceBitmap& bitmap, const DevicePalette* palette, int depth, bool topDown);
