#pragma once
// Built-in bitmaps by resource id, registered at start-up by the parts that
// own them and loaded by CBitmapEx::LoadFromResource.
#include "imaging/own/packed_dib.h"

#include <cstdint>
#include <span>

// Registers a copy of `data`: a packed DIB or a whole BMP file ("BM" header
// in front). A later registration of the same id replaces the earlier one.
void RegisterBitmapResource(int id, std::span<const std::uint8_t> data);
// A new block holding resource `id` as a packed DIB; empty when none is registered.
PackedDib LoadBitmapResource(int id);
