#pragma once
// Reduction of a true-colour image to the colours of a palette display:
// median cut over a 4096-cell histogram, then error diffusion with a cached
// weighted nearest-entry search. Reports progress through the process-wide
// callback ("Costruzione Istogramma", "Generazione Palette", "Generazione Immagine").
#include "imaging/own/device_bitmap.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// The grid cell of a colour: high nibbles of red, green and blue.
inline int ColourCell(int r, int g, int b) { return (r >> 4) << 8 | (g >> 4) << 4 | (b >> 4); }

// At most `colours` colours by median cut of `pixels` (0xAARRGGBB, `width` x `height`).
std::vector<PaletteEntry> MedianCutColours(std::span<const std::uint32_t> pixels, int width, int height, int colours);

// Nearest palette entry by 3 dr² + 4 dg² + 2 db², searched outwards in red
// order, remembered per grid cell.
class NearestEntryCache {
public:
    explicit NearestEntryCache(const DevicePalette& palette);
    int Find(int r, int g, int b);

private:
    std::vector<PaletteEntry> sorted_; // by red
    std::vector<int> order_;           // palette index of each sorted entry
    std::vector<int> cache_;           // per grid cell, -1 until searched
};

// Palette indices of `pixels`, row by row from the top, the error spread
// 7/16 right, 3/16 below left, 5/16 below, 1/16 below right. False on lack of memory.
bool DiffuseToPalette(std::span<const std::uint32_t> pixels, int width, int height, const DevicePalette& palette,
                      std::vector<std::uint8_t>& indices);

// The palette a true-colour image gets on the current palette display: above
// 4 bits, median-cut colours followed by the reserved system colours; below,
// the system's own colours.
std::shared_ptr<const DevicePalette> DisplayPaletteFor(std::span<const std::uint32_t> pixels, int width, int height);

// A device bitmap of the current palette display holding `pixels` through
// `palette` with error diffusion; none on lack of memory.
std::unique_ptr<DeviceBitmap> QuantisedBitmap(std::span<const std::uint32_t> pixels, int width, int height,
                                              std::shared_ptr<const DevicePalette> palette);
