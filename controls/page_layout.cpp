#include "controls/page_layout.h"

#include <algorithm>

namespace {
// a * b / c rounded to the nearest integer, halves away from zero, in 64 bits.
int MulDiv(long long a, long long b, long long c)
{
    long long p = a * b;
    long long q = (p >= 0 ? p + c / 2 : p - c / 2) / c;
    return static_cast<int>(q);
}
} // namespace

int AverageCharWidth(int advanceOfAlphabet)
{
    return std::max(1, (advanceOfAlphabet / 26 + 1) / 2);
}

int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base)
{
    return MulDiv(units, base.charWidth, 4);
}

int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base)
{
    return MulDiv(units, base.charHeight, 8);
}

PixelRect DialogRectToPixels(const DialogRect& rect, const DialogBaseUnits& base)
{
    // Convert the corners rather than the sizes, so neighbouring controls
    // that touch in dialog units still touch in pixels.
    int left = DialogUnitsToPixelsX(rect.x, base);
    int top = DialogUnitsToPixelsY(rect.y, base);
    int right = DialogUnitsToPixelsX(rect.x + rect.width, base);
    int bottom = DialogUnitsToPixelsY(rect.y + rect.height, base);
    return {left, top, right - left, bottom - top};
}

PixelSize DialogSizeToPixels(int width, int height, const DialogBaseUnits& base)
{
    return {DialogUnitsToPixelsX(width, base), DialogUnitsToPixelsY(height, base)};
}

PixelRect AnchoredRect(const PixelRect& initial, const Anchor& anchor, PixelSize initialPage, PixelSize page)
{
    const int dx = page.width - initialPage.width;
    const int dy = page.height - initialPage.height;
    int left = initial.x + MulDiv(dx, anchor.left, 100);
    int top = initial.y + MulDiv(dy, anchor.top, 100);
    int right = initial.x + initial.width + MulDiv(dx, anchor.right, 100);
    int bottom = initial.y + initial.height + MulDiv(dy, anchor.bottom, 100);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

int AnchorLayout::Add(const PixelRect& initial, const std::optional<Anchor>& anchor)
{
    items_.push_back({initial, anchor});
    return static_cast<int>(items_.size()) - 1;
}

void AnchorLayout::SetAnchor(int index, const std::optional<Anchor>& anchor)
{
    if (index >= 0 && static_cast<std::size_t>(index) < items_.size())
        items_[static_cast<std::size_t>(index)].anchor = anchor;
}

PixelRect AnchorLayout::Place(int index, PixelSize page) const
{
    const Item& item = items_.at(static_cast<std::size_t>(index));
    if (!item.anchor)
        return item.initial;
    return AnchoredRect(item.initial, *item.anchor, initialPage_, page);
}

std::vector<PixelRect> AnchorLayout::Arrange(PixelSize page) const
{
    std::vector<PixelRect> out;
    out.reserve(items_.size());
    for (std::size_t i = 0; i < items_.size(); ++i)
        out.push_back(Place(static_cast<int>(i), page));
    return out;
}
