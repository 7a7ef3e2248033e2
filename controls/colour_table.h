#pragma once
// The colour picker's table of named colours and its display-free rules:
// initial selection, keyboard moves, pop-up layout and placement, shades.
#include "controls/int_geometry.h"

#include <cstdint>
#include <span>

struct ColourTableEntry {
    uint32_t value;     // 0x00BBGGRR
    const char* name;
};

inline constexpr int kColourTableLimit = 100;
inline constexpr int kColourColumns = 8;
inline constexpr uint32_t kAutomaticColour = 0xFF000000;

// Selection indices beside the cells 0..count-1.
inline constexpr int kNoSelection = -1;
inline constexpr int kCustomEntry = -2;
inline constexpr int kDefaultEntry = -3;

// The 40 colours in grid order, row by row.
std::span<const ColourTableEntry> ColourTable();

// Which entries a pop-up has besides its cells.
struct ColourPopupEntries {
    int count = 0;           // cells, at most kColourTableLimit
    bool hasDefault = false; // default ("Automatic") entry above the grid
    bool hasCustom = false;  // custom ("More Colors...") entry below the grid
};

int ColourRows(int count);

// The table cell holding the colour; else the default entry for the automatic
// colour, else the custom entry, else none.
int InitialColourSelection(uint32_t colour, std::span<const ColourTableEntry> table,
                           const ColourPopupEntries& entries);

enum class ColourKey { Left, Right, Up, Down };

// The selection after an arrow key. Left and right run through the cells row by
// row and on to the entries; up and down move a row, past the grid to the
// entries, and wrap round to the other end when there is no entry there.
int MoveColourSelection(int index, ColourKey key, const ColourPopupEntries& entries);

struct ColourPopupMetrics {
    int cell = 18;
    int edge = 2;
    IntSize textExtent;   // the larger of the two entry texts in the menu font
};

struct ColourPopupLayout {
    IntSize window;
    IntRect grid;
    IntRect defaultEntry;   // empty when absent
    IntRect customEntry;    // empty when absent
    int cell = 18;

    IntRect Cell(int index) const;
    // The cell or entry under a point of the window, or kNoSelection.
    int HitTest(IntPoint p, int count) const;
};

// The cell edge: 18 pixels, but at least two edges and 7 pixels of colour.
int ColourCellSize(int edge);

ColourPopupLayout ComputeColourPopupLayout(const ColourPopupEntries& entries, const ColourPopupMetrics& m);

// Top-left of the pop-up: below the button's bottom-left corner, kept within
// the monitor horizontally, and above the button when it would reach below it.
IntPoint PlaceColourPopup(const IntRect& button, IntSize popup, const IntRect& monitor);

// The second highlight shade of the flat look: 207/256 of the menu colour plus
// 48/256 of the highlight colour, per channel (any 0x00BBGGRR or 0xRRGGBB).
uint32_t ColourPopupShade(uint32_t menu, uint32_t highlight);
