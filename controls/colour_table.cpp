#include "controls/colour_table.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::array<ColourTableEntry, 40> kColours{{
    {0x000000, "Black"},        {0x002AA5, "Brown"},          {0x404000, "Dark Olive Green"},
    {0x005500, "Dark Green"},   {0x5E0000, "Dark Teal"},      {0x8B0000, "Dark blue"},
    {0x82004B, "Indigo"},       {0x282828, "Dark grey"},      {0x00008B, "Dark red"},
    {0x2068FF, "Orange"},       {0x008B8B, "Dark yellow"},    {0x009300, "Green"},
    {0x8E8E38, "Teal"},         {0xFF0000, "Blue"},           {0xC07B7B, "Blue-grey"},
    {0x666666, "Grey - 40"},    {0x0000FF, "Red"},            {0x5BADFF, "Light orange"},
    {0x32CD32, "Lime"},         {0x71B33C, "Sea green"},      {0xD4FF7F, "Aqua"},
    {0xC09E7D, "Light blue"},   {0x800080, "Violet"},         {0x808080, "Grey - 50"},
    {0xCBC0FF, "Pink"},         {0x00D7FF, "Gold"},           {0x00FFFF, "Yellow"},
    {0x00FF00, "Bright green"}, {0xD0E040, "Turquoise"},      {0xFFFFC0, "Skyblue"},
    {0x480048, "Plum"},         {0xC0C0C0, "Light grey"},     {0xE1E4FF, "Rose"},
    {0x8CB4D2, "Tan"},          {0xE0FFFF, "Light yellow"},   {0x98FB98, "Pale green "},
    {0xEEEEAF, "Pale turquoise"}, {0x8B8368, "Pale blue"},    {0xFAE6E6, "Lavender"},
    {0xFFFFFF, "White"},
}};
static_assert(kColours.size() <= kColourTableLimit);

int ClampCount(int count)
{
    return std::clamp(count, 0, kColourTableLimit);
}
} // namespace

std::span<const ColourTableEntry> ColourTable()
{
    return kColours;
}

int ColourRows(int count)
{
    count = ClampCount(count);
    return (count + kColourColumns - 1) / kColourColumns;
}

int InitialColourSelection(uint32_t colour, std::span<const ColourTableEntry> table,
                           const ColourPopupEntries& entries)
{
    const int count = std::min<int>(ClampCount(entries.count), static_cast<int>(table.size()));
    for (int i = 0; i < count; ++i)
        if (table[static_cast<std::size_t>(i)].value == colour)
            return i;
    if (colour == kAutomaticColour && entries.hasDefault)
        return kDefaultEntry;
    if (entries.hasCustom)
        return kCustomEntry;
    return kNoSelection;
}

namespace {
int FirstOf(const ColourPopupEntries& e)
{
    return e.hasDefault ? kDefaultEntry : (e.count > 0 ? 0 : (e.hasCustom ? kCustomEntry : kNoSelection));
}

int LastOf(const ColourPopupEntries& e)
{
    return e.hasCustom ? kCustomEntry : (e.count > 0 ? e.count - 1 : (e.hasDefault ? kDefaultEntry : kNoSelection));
}

// First cell of the last row, where a move up from below the grid lands.
int LastRowStart(int count)
{
    return (ColourRows(count) - 1) * kColourColumns;
}
} // namespace

int MoveColourSelection(int index, ColourKey key, const ColourPopupEntries& entriesIn)
{
    ColourPopupEntries e = entriesIn;
    e.count = ClampCount(e.count);
    const int n = e.count;
    if (n == 0 && !e.hasDefault && !e.hasCustom)
        return kNoSelection;
    const bool isCell = index >= 0 && index < n;
    if (!isCell && index != kDefaultEntry && index != kCustomEntry)
        return FirstOf(e);   // nothing selected yet: start at the top
    if (index == kDefaultEntry && !e.hasDefault)
        return FirstOf(e);
    if (index == kCustomEntry && !e.hasCustom)
        return FirstOf(e);

    switch (key) {
    case ColourKey::Right:
        if (index == kDefaultEntry)
            return n > 0 ? 0 : LastOf(e);
        if (index == kCustomEntry)
            return FirstOf(e);
        if (index + 1 < n)
            return index + 1;
        return e.hasCustom ? kCustomEntry : FirstOf(e);
    case ColourKey::Left:
        if (index == kDefaultEntry)
            return LastOf(e);
        if (index == kCustomEntry)
            return n > 0 ? n - 1 : FirstOf(e);
        if (index > 0)
            return index - 1;
        return e.hasDefault ? kDefaultEntry : LastOf(e);
    case ColourKey::Down:
        if (index == kDefaultEntry)
            return n > 0 ? 0 : LastOf(e);
        if (index == kCustomEntry)
            return FirstOf(e);
        if (index + kColourColumns < n)
            return index + kColourColumns;
        if (e.hasCustom)
            return kCustomEntry;
        if (e.hasDefault)
            return kDefaultEntry;
        return index % kColourColumns;   // wrap to the top of the column
    case ColourKey::Up:
        if (index == kCustomEntry)
            return n > 0 ? LastRowStart(n) : FirstOf(e);
        if (index == kDefaultEntry)
            return e.hasCustom ? kCustomEntry : (n > 0 ? LastRowStart(n) : kDefaultEntry);
        if (index - kColourColumns >= 0)
            return index - kColourColumns;
        if (e.hasDefault)
            return kDefaultEntry;
        if (e.hasCustom)
            return kCustomEntry;
        {
            // Wrap to the bottom of the column (the last row may be short).
            int i = LastRowStart(n) + index % kColourColumns;
            return i < n ? i : i - kColourColumns;
        }
    }
    return index;
}

int ColourCellSize(int edge)
{
    return std::max(18, 2 * edge + 7);
}

IntRect ColourPopupLayout::Cell(int index) const
{
    const int col = index % kColourColumns;
    const int row = index / kColourColumns;
    const int x = grid.left + col * cell;
    const int y = grid.top + row * cell;
    return {x, y, x + cell, y + cell};
}

int ColourPopupLayout::HitTest(IntPoint p, int count) const
{
    if (defaultEntry.Contains(p))
        return kDefaultEntry;
    if (customEntry.Contains(p))
        return kCustomEntry;
    if (!grid.Contains(p))
        return kNoSelection;
    const int index = (p.y - grid.top) / cell * kColourColumns + (p.x - grid.left) / cell;
    return index < ClampCount(count) ? index : kNoSelection;
}

ColourPopupLayout ComputeColourPopupLayout(const ColourPopupEntries& e, const ColourPopupMetrics& m)
{
    ColourPopupLayout l;
    l.cell = m.cell;
    const int rows = ColourRows(e.count);
    const int gridWidth = kColourColumns * m.cell;
    const int gridHeight = rows * m.cell;
    const bool hasText = e.hasDefault || e.hasCustom;
    const int boxHeight = hasText ? m.textExtent.height + 4 * m.edge + 2 : 0;
    const int textWidth = hasText ? m.textExtent.width + 2 * m.edge : 0;

    l.window.width = std::max(gridWidth + 2 * m.edge, textWidth);
    l.window.height = gridHeight + 2 * m.edge;
    int top = 0;
    if (e.hasDefault) {
        l.defaultEntry = {m.edge, m.edge, l.window.width - m.edge, boxHeight - m.edge};
        top = boxHeight;
        l.window.height += boxHeight;
    }
    const int left = (l.window.width - gridWidth) / 2;
    l.grid = {left, top + m.edge, left + gridWidth, top + m.edge + gridHeight};
    if (e.hasCustom) {
        const int y = l.grid.bottom + m.edge;
        l.customEntry = {m.edge, y + m.edge, l.window.width - m.edge, y + boxHeight - m.edge};
        l.window.height += boxHeight;
    }
    return l;
}

IntPoint PlaceColourPopup(const IntRect& button, IntSize popup, const IntRect& monitor)
{
    IntPoint p{button.left, button.bottom};
    if (p.x + popup.width > monitor.right)
        p.x = monitor.right - popup.width;
    if (p.x < monitor.left)
        p.x = monitor.left;
    if (p.y + popup.height > monitor.bottom)
        p.y = button.top - popup.height;
    return p;
}

uint32_t ColourPopupShade(uint32_t menu, uint32_t highlight)
{
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t a = (menu >> shift) & 0xFF;
        const uint32_t b = (highlight >> shift) & 0xFF;
        out |= std::min<uint32_t>(255, (a * 207 + b * 48) / 256) << shift;
    }
    return out;
}
