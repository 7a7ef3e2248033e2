#pragma once
// Pure geometry of the resizable pages: dialog units to pixels, and where an
// anchored control goes when its page changes size.
#include "controls/dialog_template.h"

#include <vector>

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

struct PixelSize {
    int width = 0, height = 0;
    bool operator==(const PixelSize&) const = default;
};

// The font measures the conversion uses: the average character width and the
// character height in pixels.
struct DialogBaseUnits {
    int charWidth = 6;
    int charHeight = 13;
};

// The average character width from the advance of the 52 letters A-Z and a-z,
// rounded as the dialog manager does it.
int AverageCharWidth(int advanceOfAlphabet);

// x * charWidth / 4 and y * charHeight / 8, rounded to the nearest pixel.
int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base);
int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base);
PixelRect DialogRectToPixels(const DialogRect& rect, const DialogBaseUnits& base);
PixelSize DialogSizeToPixels(int width, int height, const DialogBaseUnits& base);

// Where a control goes on a page resized from `initialPage` to `page`: its
// top-left corner keeps its distance to the point at (left %, top %) of the
// page, its bottom-right corner to (right %, bottom %). A page smaller than
// the first never turns a control inside out: width and height stay >= 0.
PixelRect AnchoredRect(const PixelRect& initial, const Anchor& anchor, PixelSize initialPage, PixelSize page);

// The layout of one page: every control's first rectangle and anchor.
class AnchorLayout {
public:
    struct Item {
        PixelRect initial;
        std::optional<Anchor> anchor;   // none: the control keeps its place
    };

    explicit AnchorLayout(PixelSize initialPage = {}) : initialPage_(initialPage) {}

    // Answers the item's index.
    int Add(const PixelRect& initial, const std::optional<Anchor>& anchor);
    void SetAnchor(int index, const std::optional<Anchor>& anchor);
    PixelSize InitialPage() const { return initialPage_; }
    std::size_t Size() const { return items_.size(); }

    // Every item's rectangle on a page of this size, in the order added.
    std::vector<PixelRect> Arrange(PixelSize page) const;
    PixelRect Place(int index, PixelSize page) const;

private:
    PixelSize initialPage_;
    std::vector<Item> items_;
};
