#pragma once
// Palettes for palette displays: the system's own colours, palettes made from
// a DIB colour table or from RGB triplets, and a plain nearest-colour search.
#include "imaging/own/device_bitmap.h"

#include <cstdint>
#include <memory>
#include <span>

// Colours an 8-bit display keeps for itself: 10 at the start of its palette, 10 at the end.
constexpr int kReservedColours = 20;
std::span<const PaletteEntry> ReservedSystemColours();

// The system palette of a palette display of `depth` bits: 2 entries at 1 bit,
// the 16 standard colours at 4, and at 8 the reserved colours around a colour
// cube and a grey ramp. Shared and never changed.
std::shared_ptr<const DevicePalette> SystemPalette(int depth);

// A palette of `count` entries from a DIB colour table (blue, green, red, 0),
// or from RGB triplets; none on true-colour displays or for a count of 0.
// At most 256 entries, and never more than `table` holds.
std::shared_ptr<const DevicePalette> PaletteFromDibColours(std::span<const std::uint8_t> table, int count);
std::shared_ptr<const DevicePalette> PaletteFromRgbTriplets(std::span<const std::uint8_t> rgb, int count);

// Index of the palette entry closest to the colour (0 for an empty palette).
int NearestPaletteIndex(const DevicePalette& palette, std::uint32_t argb);

// NearestPaletteIndex with a cache of recent answers (exact: keyed by the whole colour).
class PaletteMapper {
public:
    explicit PaletteMapper(const DevicePalette& palette);
    int operator()(std::uint32_t argb);

private:
    struct Slot {
        std::uint32_t colour = 0;
        std::int16_t index = -1;
    };
    const DevicePalette& palette_;
    std::unique_ptr<Slot[]> slots_;
};

inline std::uint32_t EntryArgb(const PaletteEntry& e)
{
    return 0xFF000000u | std::uint32_t(e.red) << 16 | std::uint32_t(e.green) << 8 | e.blue;
}
