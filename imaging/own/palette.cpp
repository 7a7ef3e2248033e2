#include "imaging/own/palette.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<PaletteEntry, kReservedColours> kReserved = {{
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
    {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
    {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
    {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
}};

constexpr std::array<PaletteEntry, 16> kStandard16 = {{
    {0, 0, 0, 0},       {128, 0, 0, 0},   {0, 128, 0, 0}, {128, 128, 0, 0}, {0, 0, 128, 0},   {128, 0, 128, 0},
    {0, 128, 128, 0},   {192, 192, 192, 0}, {128, 128, 128, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}, {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0}, {0, 255, 255, 0}, {255, 255, 255, 0},
}};

std::shared_ptr<const DevicePalette> MakeSystemPalette(int depth)
{
    auto pal = std::make_shared<DevicePalette>();
    if (depth <= 1) {
        pal->entries = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    } else if (depth <= 4) {
        pal->entries.assign(kStandard16.begin(), kStandard16.end());
    } else {
        pal->entries.assign(kReserved.begin(), kReserved.begin() + kReservedColours / 2);
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    pal->entries.push_back({std::uint8_t(r * 51), std::uint8_t(g * 51), std::uint8_t(b * 51), 0});
        for (int i = 1; i <= 20; ++i) {
            const auto v = std::uint8_t(i * 255 / 21);
            pal->entries.push_back({v, v, v, 0});
        }
        pal->entries.insert(pal->entries.end(), kReserved.begin() + kReservedColours / 2, kReserved.end());
    }
    return pal;
}

std::shared_ptr<const DevicePalette> FromTable(std::span<const std::uint8_t> table, int count, int stride,
                                               int redAt, int blueAt)
{
    if (!IsPaletteDisplay() || count <= 0)
        return nullptr;
    const int n = std::min({count, 256, int(std::min<std::size_t>(table.size() / std::size_t(stride), 256))});
    if (n <= 0)
        return nullptr;
    auto pal = std::make_shared<DevicePalette>();
    pal->entries.resize(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        const std::uint8_t* e = table.data() + std::size_t(i) * std::size_t(stride);
        pal->entries[std::size_t(i)] = {e[redAt], e[1], e[blueAt], 0};
    }
    return pal;
}

} // namespace

std::span<const PaletteEntry> ReservedSystemColours() { return kReserved; }

std::shared_ptr<const DevicePalette> SystemPalette(int depth)
{
    static const auto one = MakeSystemPalette(1);
    static const auto four = MakeSystemPalette(4);
    static const auto eight = MakeSystemPalette(8);
    return depth <= 1 ? one : depth <= 4 ? four : eight;
}

std::shared_ptr<const DevicePalette> PaletteFromDibColours(std::span<const std::uint8_t> table, int count)
{
    return FromTable(table, count, 4, 2, 0);
}

std::shared_ptr<const DevicePalette> PaletteFromRgbTriplets(std::span<const std::uint8_t> rgb, int count)
{
    return FromTable(rgb, count, 3, 0, 2);
}

int NearestPaletteIndex(const DevicePalette& palette, std::uint32_t argb)
{
    const int r = int(argb >> 16 & 0xFF), g = int(argb >> 8 & 0xFF), b = int(argb & 0xFF);
    int best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (std::size_t i = 0; i < palette.entries.size(); ++i) {
        const PaletteEntry& e = palette.entries[i];
        const int dr = e.red - r, dg = e.green - g, db = e.blue - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = int(i);
            if (d == 0)
                break;
        }
    }
    return best;
}

namespace {
constexpr std::size_t kMapperSlots = 1 << 15;
} // namespace

PaletteMapper::PaletteMapper(const DevicePalette& palette)
    : palette_(palette), slots_(std::make_unique<Slot[]>(kMapperSlots))
{
}

int PaletteMapper::operator()(std::uint32_t argb)
{
    argb &= 0xFFFFFFu;
    // Five bits of each channel pick the slot.
    const std::size_t key = (argb >> 9 & 0x7C00) | (argb >> 6 & 0x03E0) | (argb >> 3 & 0x001F);
    Slot& slot = slots_[key];
    if (slot.index < 0 || slot.colour != argb) {
        slot.colour = argb;
        slot.index = std::int16_t(NearestPaletteIndex(palette_, argb));
    }
    return slot.index;
}
