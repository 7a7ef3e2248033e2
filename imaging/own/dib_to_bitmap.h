#pragma once
// A device bitmap made from a packed DIB, for the current display.
#include "imaging/own/device_bitmap.h"

#include <cstdint>
#include <memory>
#include <span>

// The device bitmap of a packed DIB for the current display, and in `palette`
// the palette that goes with it (none on true-colour displays). None when the
// DIB is damaged or memory runs out.
std::unique_ptr<DeviceBitmap> BitmapFromDib(std::span<const std::uint8_t> dib,
                                            std::shared_ptr<const DevicePalette>& palette);
