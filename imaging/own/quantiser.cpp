#include "imaging/own/quantiser.h"

#include "imaging/own/palette.h"
#include "imaging/own/progress.h"

#include <algorithm>
#include <array>
#include <new>

namespace {

constexpr int kCells = 4096;

int Nibble(int cell, int channel) { return cell >> (8 - 4 * channel) & 0x0F; }

struct Box {
    std::vector<std::uint16_t> cells;
    int lo[3] = {0, 0, 0};
    int hi[3] = {255, 255, 255};
    std::uint64_t pixels = 0;
};

std::uint8_t Clamp(int v) { return std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

} // namespace

std::vector<PaletteEntry> MedianCutColours(std::span<const std::uint32_t> pixels, int width, int height, int colours)
{
    std::vector<std::uint64_t> histogram(kCells, 0);
    ProgressBegin("Costruzione Istogramma", height, PROGRESS_HISTOGRAM);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = pixels.data() + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = row[x];
            ++histogram[std::size_t(ColourCell(int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)))];
        }
        if ((y & 15) == 15)
            ProgressStep(y + 1);
    }
    ProgressEnd();

    ProgressBegin("Generazione Palette", colours, PROGRESS_PALETTE);
    std::vector<Box> boxes(1);
    for (int c = 0; c < kCells; ++c) {
        if (histogram[std::size_t(c)] != 0) {
            boxes[0].cells.push_back(std::uint16_t(c));
            boxes[0].pixels += histogram[std::size_t(c)];
        }
    }
    while (int(boxes.size()) < colours) {
        int pick = -1, channel = 0, extent = -1;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].cells.size() < 2)
                continue;
            for (int ch = 0; ch < 3; ++ch) {
                if (boxes[i].hi[ch] - boxes[i].lo[ch] > extent) {
                    extent = boxes[i].hi[ch] - boxes[i].lo[ch];
                    pick = int(i);
                    channel = ch;
                }
            }
        }
        if (pick < 0)
            break;
        Box& box = boxes[std::size_t(pick)];
        std::stable_sort(box.cells.begin(), box.cells.end(),
                         [channel](int a, int b) { return Nibble(a, channel) < Nibble(b, channel); });
        // The longest leading run holding no more than half the pixels, one cell at least, one left over.
        std::size_t keep = 1;
        std::uint64_t sum = histogram[box.cells[0]];
        std::uint64_t kept = sum;
        for (std::size_t k = 1; k + 1 < box.cells.size(); ++k) {
            sum += histogram[box.cells[k]];
            if (sum * 2 > box.pixels)
                break;
            keep = k + 1;
            kept = sum;
        }
        Box split;
        split.cells.assign(box.cells.begin() + std::ptrdiff_t(keep), box.cells.end());
        box.cells.resize(keep);
        std::copy(std::begin(box.lo), std::end(box.lo), split.lo);
        std::copy(std::begin(box.hi), std::end(box.hi), split.hi);
        split.pixels = box.pixels - kept;
        box.pixels = kept;
        box.hi[channel] = Nibble(box.cells.back(), channel) * 16;
        split.lo[channel] = Nibble(split.cells.front(), channel) * 16;
        boxes.push_back(std::move(split));
        if (boxes.size() % 2 == 0)
            ProgressStep(int(boxes.size()));
    }
    ProgressEnd();

    std::vector<PaletteEntry> result;
    for (const Box& box : boxes) {
        if (box.cells.empty())
            continue;
        int sum[3] = {0, 0, 0};
        for (int cell : box.cells)
            for (int ch = 0; ch < 3; ++ch)
                sum[ch] += Nibble(cell, ch) * 16;
        std::uint8_t c[3];
        for (int ch = 0; ch < 3; ++ch) {
            const int v = sum[ch] / int(box.cells.size());
            c[ch] = std::uint8_t(v != 0 ? (v | 0x0F) : 0);
        }
        result.push_back({c[0], c[1], c[2], 0});
    }
    return result;
}

NearestEntryCache::NearestEntryCache(const DevicePalette& palette) : cache_(kCells, -1)
{
    order_.resize(palette.entries.size());
    for (std::size_t i = 0; i < order_.size(); ++i)
        order_[i] = int(i);
    std::stable_sort(order_.begin(), order_.end(),
                     [&](int a, int b) { return palette.entries[std::size_t(a)].red < palette.entries[std::size_t(b)].red; });
    for (int i : order_)
        sorted_.push_back(palette.entries[std::size_t(i)]);
}

int NearestEntryCache::Find(int r, int g, int b)
{
    int& cached = cache_[std::size_t(ColourCell(r, g, b))];
    if (cached >= 0)
        return cached;
    if (sorted_.empty())
        return cached = 0;
    const auto start = std::size_t(std::lower_bound(sorted_.begin(), sorted_.end(), r,
                                                    [](const PaletteEntry& e, int red) { return e.red < red; }) -
                                   sorted_.begin());
    int best = 0x7FFFFFFF;
    std::size_t bestAt = start < sorted_.size() ? start : sorted_.size() - 1;
    auto consider = [&](std::size_t i) {
        const int dr = sorted_[i].red - r, dg = sorted_[i].green - g, db = sorted_[i].blue - b;
        if (dr * dr > best)
            return false;
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < best) {
            best = d;
            bestAt = i;
        }
        return true;
    };
    for (std::size_t i = start; i < sorted_.size() && consider(i); ++i) {
    }
    for (std::size_t i = start; i > 0 && consider(i - 1); --i) {
    }
    return cached = order_[bestAt];
}

bool DiffuseToPalette(std::span<const std::uint32_t> pixels, int width, int height, const DevicePalette& palette,
                      std::vector<std::uint8_t>& indices)
{
    try {
        const std::size_t w = std::size_t(width);
        indices.assign(w * std::size_t(height), 0);
        // Two working rows of red, green, blue, each value kept within 0..255.
        std::vector<int> current(3 * w), next(3 * w);
        auto load = [&](std::vector<int>& row, int y) {
            const std::uint32_t* src = pixels.data() + std::size_t(y) * w;
            for (std::size_t x = 0; x < w; ++x) {
                row[3 * x] = int(src[x] >> 16 & 0xFF);
                row[3 * x + 1] = int(src[x] >> 8 & 0xFF);
                row[3 * x + 2] = int(src[x] & 0xFF);
            }
        };
        NearestEntryCache nearest(palette);
        ProgressBegin("Generazione Immagine", height, PROGRESS_IMAGE);
        load(current, 0);
        for (int y = 0; y < height; ++y) {
            const bool below = y + 1 < height;
            if (below)
                load(next, y + 1);
            std::uint8_t* out = indices.data() + std::size_t(y) * w;
            for (std::size_t x = 0; x < w; ++x) {
                int* p = &current[3 * x];
                const int index = nearest.Find(p[0], p[1], p[2]);
                out[x] = std::uint8_t(index);
                const PaletteEntry& e = palette.entries[std::size_t(index)];
                const int error[3] = {p[0] - e.red, p[1] - e.green, p[2] - e.blue};
                auto spread = [&](int* q, int weight) {
                    for (int ch = 0; ch < 3; ++ch)
                        q[ch] = Clamp(q[ch] + error[ch] * weight / 16);
                };
                if (x + 1 < w)
                    spread(&current[3 * (x + 1)], 7);
                if (below) {
                    if (x > 0)
                        spread(&next[3 * (x - 1)], 3);
                    spread(&next[3 * x], 5);
                    if (x + 1 < w)
                        spread(&next[3 * (x + 1)], 1);
                }
            }
            std::swap(current, next);
            if ((y & 3) == 3)
                ProgressStep(y + 1);
        }
        ProgressEnd();
        return true;
    } catch (const std::bad_alloc&) {
        indices.clear();
        return false;
    }
}

std::shared_ptr<const DevicePalette> DisplayPaletteFor(std::span<const std::uint32_t> pixels, int width, int height)
{
    const int depth = DisplayDepth();
    if (depth <= 4)
        return SystemPalette(depth);
    auto pal = std::make_shared<DevicePalette>();
    const int size = 1 << (depth > 8 ? 8 : depth);
    pal->entries = MedianCutColours(pixels, width, height, size - kReservedColours);
    const auto reserved = ReservedSystemColours();
    pal->entries.insert(pal->entries.end(), reserved.begin(), reserved.end());
    return pal;
}

std::unique_ptr<DeviceBitmap> QuantisedBitmap(std::span<const std::uint32_t> pixels, int width, int height,
                                              std::shared_ptr<const DevicePalette> palette)
{
    if (!palette || palette->entries.empty() || pixels.size() < std::size_t(width) * std::size_t(height))
        return nullptr;
    auto bmp = CreateCompatibleBitmap(width, height);
    if (!bmp || !DiffuseToPalette(pixels, width, height, *palette, bmp->indices))
        return nullptr;
    bmp->indexed = true;
    bmp->pixels.clear();
    bmp->palette = std::move(palette);
    return bmp;
}
