// The colour picker's table and its display-free rules.
#include "controls/colour_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {
const ColourPopupEntries kPage{40, false, true};     // the Images page: no default entry
const ColourPopupEntries kBoth{40, true, true};
const ColourPopupEntries kNeither{40, false, false};
} // namespace

TEST(ColourTable, FortyNamedColoursInGridOrder)
{
    const auto table = ColourTable();
    ASSERT_EQ(table.size(), 40u);
    EXPECT_LE(table.size(), static_cast<std::size_t>(kColourTableLimit));
    EXPECT_EQ(table[0].value, 0x000000u);
    EXPECT_STREQ(table[0].name, "Black");
    EXPECT_EQ(table[1].value, 0x002AA5u);
    EXPECT_STREQ(table[2].name, "Dark Olive Green");
    EXPECT_EQ(table[13].value, 0xFF0000u);   // "Blue": 0x00BBGGRR
    EXPECT_STREQ(table[13].name, "Blue");
    EXPECT_EQ(table[16].value, 0x0000FFu);
    EXPECT_STREQ(table[16].name, "Red");
    EXPECT_STREQ(table[23].name, "Grey - 50");
    EXPECT_EQ(table[23].value, 0x808080u);
    EXPECT_STREQ(table[35].name, "Pale green ");   // with its trailing blank
    EXPECT_EQ(table[37].value, 0x8B8368u);
    EXPECT_STREQ(table[39].name, "White");
    EXPECT_EQ(table[39].value, 0xFFFFFFu);

    std::set<std::string> names;
    std::set<uint32_t> values;
    for (const auto& e : table) {
        EXPECT_LE(e.value, 0xFFFFFFu) << e.name;
        names.insert(e.name);
        values.insert(e.value);
    }
    EXPECT_EQ(names.size(), 40u);
    EXPECT_EQ(values.size(), 40u);   // every colour finds its own cell
}

TEST(ColourTable, InitialSelection)
{
    const auto table = ColourTable();
    EXPECT_EQ(InitialColourSelection(0x808080, table, kPage), 23);
    EXPECT_EQ(InitialColourSelection(0x000000, table, kPage), 0);
    EXPECT_EQ(InitialColourSelection(0x123456, table, kPage), kCustomEntry);
    EXPECT_EQ(InitialColourSelection(0x123456, table, kNeither), kNoSelection);
    // The automatic colour picks the default entry only when it has a text.
    EXPECT_EQ(InitialColourSelection(kAutomaticColour, table, kBoth), kDefaultEntry);
    EXPECT_EQ(InitialColourSelection(kAutomaticColour, table, kPage), kCustomEntry);
    EXPECT_EQ(InitialColourSelection(kAutomaticColour, table, kNeither), kNoSelection);
    // A shorter pop-up does not find colours beyond its count.
    EXPECT_EQ(InitialColourSelection(0xFFFFFF, table, ColourPopupEntries{8, false, false}), kNoSelection);
}

TEST(ColourKeys, LeftAndRightRunThroughCellsAndEntries)
{
    EXPECT_EQ(MoveColourSelection(7, ColourKey::Right, kPage), 8);    // next row
    EXPECT_EQ(MoveColourSelection(8, ColourKey::Left, kPage), 7);     // previous row
    EXPECT_EQ(MoveColourSelection(39, ColourKey::Right, kPage), kCustomEntry);
    EXPECT_EQ(MoveColourSelection(kCustomEntry, ColourKey::Right, kPage), 0);
    EXPECT_EQ(MoveColourSelection(0, ColourKey::Left, kPage), kCustomEntry);
    EXPECT_EQ(MoveColourSelection(kCustomEntry, ColourKey::Left, kPage), 39);

    EXPECT_EQ(MoveColourSelection(0, ColourKey::Left, kBoth), kDefaultEntry);
    EXPECT_EQ(MoveColourSelection(kDefaultEntry, ColourKey::Right, kBoth), 0);
    EXPECT_EQ(MoveColourSelection(kDefaultEntry, ColourKey::Left, kBoth), kCustomEntry);
    EXPECT_EQ(MoveColourSelection(kCustomEntry, ColourKey::Right, kBoth), kDefaultEntry);

    EXPECT_EQ(MoveColourSelection(39, ColourKey::Right, kNeither), 0);
    EXPECT_EQ(MoveColourSelection(0, ColourKey::Left, kNeither), 39);
    // Nothing selected yet: the first key starts at the top.
    EXPECT_EQ(MoveColourSelection(kNoSelection, ColourKey::Down, kNeither), 0);
    EXPECT_EQ(MoveColourSelection(kNoSelection, ColourKey::Left, kBoth), kDefaultEntry);
}

TEST(ColourKeys, UpAndDownMoveARowAndReachTheEntriesOrWrap)
{
    EXPECT_EQ(MoveColourSelection(23, ColourKey::Down, kPage), 31);
    EXPECT_EQ(MoveColourSelection(23, ColourKey::Up, kPage), 15);
    EXPECT_EQ(MoveColourSelection(35, ColourKey::Down, kPage), kCustomEntry);
    EXPECT_EQ(MoveColourSelection(kCustomEntry, ColourKey::Up, kPage), 32);
    EXPECT_EQ(MoveColourSelection(3, ColourKey::Up, kPage), kCustomEntry);   // no default: round to the bottom
    EXPECT_EQ(MoveColourSelection(kCustomEntry, ColourKey::Down, kPage), 0);

    EXPECT_EQ(MoveColourSelection(3, ColourKey::Up, kBoth), kDefaultEntry);
    EXPECT_EQ(MoveColourSelection(kDefaultEntry, ColourKey::Down, kBoth), 0);
    EXPECT_EQ(MoveColourSelection(kDefaultEntry, ColourKey::Up, kBoth), kCustomEntry);
    EXPECT_EQ(MoveColourSelection(kCustomEntry, ColourKey::Down, kBoth), kDefaultEntry);

    // Without entries the column wraps round.
    EXPECT_EQ(MoveColourSelection(37, ColourKey::Down, kNeither), 5);
    EXPECT_EQ(MoveColourSelection(5, ColourKey::Up, kNeither), 37);
    // A short last row: up from a column it lacks lands in the row above.
    const ColourPopupEntries shortRow{20, false, false};
    EXPECT_EQ(MoveColourSelection(6, ColourKey::Up, shortRow), 14);
    EXPECT_EQ(MoveColourSelection(2, ColourKey::Up, shortRow), 18);
    EXPECT_EQ(MoveColourSelection(14, ColourKey::Down, shortRow), 6);
}

TEST(ColourPopupLayout, SizesCellsAndEntries)
{
    EXPECT_EQ(ColourCellSize(2), 18);
    EXPECT_EQ(ColourCellSize(6), 19);   // 2 x edge + 7

    ColourPopupMetrics m;
    m.cell = 18;
    m.edge = 2;
    m.textExtent = {80, 15};
    ColourPopupLayout l = ComputeColourPopupLayout(kPage, m);
    const int box = 15 + 4 * 2 + 2;
    EXPECT_EQ(l.window, (IntSize{8 * 18 + 4, 5 * 18 + 4 + box}));
    EXPECT_EQ(l.grid, (IntRect{2, 2, 146, 92}));
    EXPECT_EQ(l.Cell(23), (IntRect{2 + 7 * 18, 2 + 2 * 18, 2 + 8 * 18, 2 + 3 * 18}));
    EXPECT_EQ(l.defaultEntry, IntRect{});
    EXPECT_EQ(l.customEntry, (IntRect{2, 96, 146, 94 + box - 2}));
    EXPECT_LE(l.customEntry.bottom, l.window.height);

    EXPECT_EQ(l.HitTest({l.Cell(23).left + 9, l.Cell(23).top + 9}, 40), 23);
    EXPECT_EQ(l.HitTest({l.Cell(0).left, l.Cell(0).top}, 40), 0);
    EXPECT_EQ(l.HitTest({50, 100}, 40), kCustomEntry);
    EXPECT_EQ(l.HitTest({0, 0}, 40), kNoSelection);
    EXPECT_EQ(l.HitTest({l.Cell(39).left + 1, l.Cell(39).top + 1}, 39), kNoSelection);

    // A default entry moves the grid down; a wide text widens the window and
    // the grid stays centred.
    m.textExtent = {200, 15};
    l = ComputeColourPopupLayout(kBoth, m);
    EXPECT_EQ(l.window.width, 204);
    EXPECT_EQ(l.window.height, 5 * 18 + 4 + 2 * box);
    EXPECT_EQ(l.grid.left, 30);
    EXPECT_EQ(l.grid.top, box + 2);
    EXPECT_EQ(l.defaultEntry, (IntRect{2, 2, 202, box - 2}));
    EXPECT_EQ(l.HitTest({100, 10}, 40), kDefaultEntry);

    // No texts: just the grid.
    l = ComputeColourPopupLayout(kNeither, m);
    EXPECT_EQ(l.window, (IntSize{148, 94}));
}

TEST(ColourPopupLayout, PlacementOnTheMonitorAndTheShade)
{
    const IntRect monitor{0, 0, 1920, 1080};
    const IntSize popup{148, 119};
    EXPECT_EQ(PlaceColourPopup({100, 100, 160, 124}, popup, monitor), (IntPoint{100, 124}));
    EXPECT_EQ(PlaceColourPopup({1850, 100, 1910, 124}, popup, monitor), (IntPoint{1920 - 148, 124}));
    EXPECT_EQ(PlaceColourPopup({100, 1000, 160, 1024}, popup, monitor), (IntPoint{100, 1000 - 119}));
    EXPECT_EQ(PlaceColourPopup({1900, 100, 1960, 124}, popup, IntRect{1920, 0, 3840, 1080}),
              (IntPoint{1920, 124}));

    EXPECT_EQ(ColourPopupShade(0xFFFFFF, 0x000000), 0xCECECEu);
    EXPECT_EQ(ColourPopupShade(0x000000, 0xFFFFFF), 0x2F2F2Fu);
    EXPECT_EQ(ColourPopupShade(0xF0F0F0, 0xFF9933), 0xF1DECBu);
    EXPECT_EQ(ColourPopupShade(0xFFFFFF, 0xFFFFFF), 0xFEFEFEu);
}
