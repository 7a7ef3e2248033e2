#pragma once
// The built-in face tiles, bitmaps 219 to 224: 16 x 16, 8-bit packed DIBs
// (header, colour table, bottom-up rows) made by tools/make_tiles.py.
#include <cstddef>
#include <cstdint>
#include <span>

constexpr int kFirstTileId = 219;
constexpr int kTileCount = 6;

// The packed DIB of tile `id`; empty for an unknown id.
std::span<const std::uint8_t> BuiltInTileDib(int id);
