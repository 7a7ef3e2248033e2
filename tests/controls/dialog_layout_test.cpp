// Dialog templates and the anchored page geometry, without a display.
#include "controls/dialog_template.h"
#include "controls/page_layout.h"
#include "support/reading.h"

#include <gtest/gtest.h>

namespace {
std::string ReadTemplate(int id)
{
    return support::ReadAll(std::string(TSV_SOURCE_DIR) + "/res/dialogs/" + std::to_string(id) + ".dlg");
}

std::string Refusal(std::string_view text)
{
    std::string error;
    EXPECT_FALSE(ParseDialogTemplate(text, &error).has_value()) << text;
    return error;
}
} // namespace

TEST(DialogTemplate, ReadsEveryPartOfALine)
{
    std::string error;
    auto t = ParseDialogTemplate("# comment\n\n"
                                 "dialog 77 \"A \\\"quoted\\\" \\\\ caption\" 300 200 font \"MS Sans Serif\" 8\r\n"
                                 "button 1023 \"&Count Files\" 237 17 63 13 anchor 100 0 100 0\n"
                                 "label - \"Seconds\" 1 2 3 4 right\n"
                                 "icon 1105 \"\" 14 26 20 20 anchor 50 50 50 50 icon=100 hidden\n",
                                 &error);
    ASSERT_TRUE(t) << error;
    EXPECT_EQ(t->id, 77);
    EXPECT_EQ(t->caption, "A \"quoted\" \\ caption");
    EXPECT_EQ(t->width, 300);
    EXPECT_EQ(t->fontFace, "MS Sans Serif");
    ASSERT_EQ(t->controls.size(), 3u);
    EXPECT_EQ(t->controls[0].kind, ControlKind::Button);
    EXPECT_EQ(t->controls[0].text, "&Count Files");
    EXPECT_EQ(t->controls[0].rect, (DialogRect{237, 17, 63, 13}));
    EXPECT_EQ(t->controls[0].anchor, (Anchor{100, 0, 100, 0}));
    EXPECT_EQ(t->controls[1].id, -1);
    EXPECT_FALSE(t->controls[1].anchor);
    EXPECT_TRUE(t->controls[1].HasFlag("right"));
    EXPECT_EQ(t->controls[2].FlagValue("icon"), "100");
    EXPECT_TRUE(t->controls[2].HasFlag("hidden"));
    EXPECT_EQ(t->Find(1105), &t->controls[2]);
    EXPECT_EQ(t->Find(-1), nullptr);
}

TEST(DialogTemplate, RefusesMalformedTextsNamingTheLine)
{
    EXPECT_EQ(Refusal(""), "no dialog line");
    EXPECT_EQ(Refusal("button 1 \"x\" 1 2 3 4"), "line 1: a control before the dialog line");
    EXPECT_NE(Refusal("dialog 1 \"x\" 10 10\ndialog 2 \"y\" 10 10").find("line 2"), std::string::npos);
    EXPECT_NE(Refusal("dialog 1 \"x\" 10 10\nwidget 5 \"a\" 1 1 1 1").find("unknown control kind"),
              std::string::npos);
    EXPECT_NE(Refusal("dialog 1 \"x\" 10 10\nlabel 5 \"a 1 1 1 1").find("closing quote"), std::string::npos);
    EXPECT_NE(Refusal("dialog 1 \"x\" 10 10\nlabel 5 \"a\\n\" 1 1 1 1").find("escape"), std::string::npos);
    EXPECT_NE(Refusal("dialog 1 \"x\" 10 10\nlabel 5 \"a\" 1 1 1 1\nlabel 5 \"b\" 1 1 1 1").find("used twice"),
              std::string::npos);
    EXPECT_NE(Refusal("dialog 1 \"x\" 10 10\nlabel 5 \"a\" 1 1 1 1 anchor 0 0 101 0").find("percentages"),
              std::string::npos);
    // Numbers: no signs, no trailing letters, no sizes beyond reason.
    Refusal("dialog 1 \"x\" 10 10\nlabel 5 \"a\" -1 1 1 1");
    Refusal("dialog 1 \"x\" 10 10\nlabel 5 \"a\" 1x 1 1 1");
    Refusal("dialog 1 \"x\" 10 99999");
    Refusal("dialog 1 \"x\" 10 10\nlabel 5 \"a\" 1 1 1");
    Refusal("dialog 1 \"x\" 10 10\nlabel 5 \"a\" 1 1 1 1 \"flag\"");
    Refusal("dialog 1 \"x\" 10 10 font Arial 8");
    // Numeric flags hold numbers; a drop-down has items.
    EXPECT_NE(Refusal("dialog 1 \"x\" 10 10\nslider 5 \"\" 1 1 1 1 min=low").find("min= needs a number"),
              std::string::npos);
    EXPECT_NE(Refusal("dialog 1 \"x\" 10 10\nlabel 5 \"a\" 1 1 1 1 tip=12x").find("tip="), std::string::npos);
    EXPECT_NE(Refusal("dialog 1 \"x\" 10 10\ncombobox 5 \"\" 1 1 1 1").find("items"), std::string::npos);
}

TEST(DialogTemplate, DropDownItemsAndNumericFlags)
{
    std::string error;
    auto t = ParseDialogTemplate("dialog 1 \"x\" 10 10\n"
                                 "combobox 5 \"None|Date||Name\" 1 1 1 1 setting=Caption tip=115\n"
                                 "slider 6 \"\" 1 1 1 1 min=-99 max=99\n",
                                 &error);
    ASSERT_TRUE(t) << error;
    EXPECT_EQ(t->controls[0].Items(), (std::vector<std::string>{"None", "Date", "", "Name"}));
    EXPECT_EQ(t->controls[0].FlagValue("setting"), "Caption");
    EXPECT_EQ(t->controls[0].IntFlag("tip"), 115);
    EXPECT_EQ(t->controls[1].IntFlag("min"), -99);
    EXPECT_EQ(t->controls[1].IntFlag("max"), 99);
    EXPECT_EQ(t->controls[1].IntFlag("tip"), std::nullopt);
    EXPECT_TRUE(t->controls[1].Items().empty());
}

TEST(DialogTemplate, ShippedPagesReadAsDesigned)
{
    for (int id : {2003, 2004}) {
        std::string error;
        auto t = ParseDialogTemplate(ReadTemplate(id), &error);
        ASSERT_TRUE(t) << id << ": " << error;
        EXPECT_EQ(t->id, id);
    }
    auto images = ParseDialogTemplate(ReadTemplate(2003));
    EXPECT_EQ(images->caption, "Images List");
    ASSERT_EQ(images->controls.size(), 21u);
    const DialogControl* list = images->Find(1003);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->kind, ControlKind::FolderList);
    EXPECT_EQ(list->rect, (DialogRect{5, 18, 220, 114}));
    EXPECT_EQ(list->anchor, (Anchor{0, 0, 100, 100}));
    EXPECT_EQ(images->Find(1127)->text, "Dese&lect All");
    EXPECT_EQ(images->Find(1047)->text, "Restart slideshow from last image displayed");
    EXPECT_EQ(images->Find(1012)->kind, ControlKind::UpDown);
    EXPECT_FALSE(images->Find(1004)->anchor);

    auto sounds = ParseDialogTemplate(ReadTemplate(2004));
    EXPECT_EQ(sounds->caption, "Sounds");
    EXPECT_EQ(sounds->controls.size(), 16u);
    EXPECT_EQ(sounds->Find(1026)->anchor, (Anchor{0, 100, 100, 100}));
    EXPECT_EQ(sounds->Find(1066)->text, "Restart play from last file played");
}

TEST(DialogTemplate, AcceleratorMarksLeaveTheVisibleText)
{
    EXPECT_EQ(StripAccelerator("Dese&lect All"), "Deselect All");
    EXPECT_EQ(StripAccelerator("Salt && &Pepper"), "Salt & Pepper");
    EXPECT_EQ(StripAccelerator("trailing&"), "trailing");
}

TEST(PageLayout, DialogUnitsFollowTheFont)
{
    // 52 letters 312 px wide: 6 px on average, as the dialog manager rounds it.
    EXPECT_EQ(AverageCharWidth(312), 6);
    EXPECT_EQ(AverageCharWidth(300), 6);   // 11.5 -> (11 + 1) / 2
    EXPECT_EQ(AverageCharWidth(0), 1);
    DialogBaseUnits base{6, 13};
    EXPECT_EQ(DialogUnitsToPixelsX(4, base), 6);
    EXPECT_EQ(DialogUnitsToPixelsY(8, base), 13);
    EXPECT_EQ(DialogUnitsToPixelsX(305, base), 458);   // 457.5 rounds up
    // Touching rectangles still touch after conversion.
    PixelRect a = DialogRectToPixels({237, 37, 63, 14}, base);
    PixelRect b = DialogRectToPixels({237, 51, 63, 14}, base);
    EXPECT_EQ(a.y + a.height, b.y);
    // A twice larger font gives a twice larger page, give or take the rounding.
    PixelSize small = DialogSizeToPixels(305, 212, {6, 13});
    PixelSize large = DialogSizeToPixels(305, 212, {12, 26});
    EXPECT_NEAR(large.width, 2 * small.width, 1);
    EXPECT_NEAR(large.height, 2 * small.height, 1);
}

TEST(PageLayout, AnchorsKeepDistancesToTheirPoints)
{
    const PixelSize first{400, 300};
    const PixelSize bigger{600, 500};   // +200 each way
    const PixelRect r{10, 20, 100, 50};
    // Stretches with the page.
    EXPECT_EQ(AnchoredRect(r, {0, 0, 100, 100}, first, bigger), (PixelRect{10, 20, 300, 250}));
    // Moves with the right edge, keeps its size.
    EXPECT_EQ(AnchoredRect(r, {100, 0, 100, 0}, first, bigger), (PixelRect{210, 20, 100, 50}));
    // Moves down with the bottom edge, stretches across.
    EXPECT_EQ(AnchoredRect(r, {0, 100, 100, 100}, first, bigger), (PixelRect{10, 220, 300, 50}));
    // Stays centred.
    EXPECT_EQ(AnchoredRect(r, {50, 50, 50, 50}, first, bigger), (PixelRect{110, 120, 100, 50}));
    // Back to the first size: back to the first place.
    EXPECT_EQ(AnchoredRect(r, {0, 0, 100, 100}, first, first), r);
    // A page smaller than the first never gives a negative size.
    PixelRect shrunk = AnchoredRect(r, {0, 0, 100, 100}, first, {100, 50});
    EXPECT_EQ(shrunk.width, 0);
    EXPECT_EQ(shrunk.height, 0);

    AnchorLayout layout(first);
    int fixed = layout.Add(r, std::nullopt);
    int moving = layout.Add(r, Anchor{100, 100, 100, 100});
    std::vector<PixelRect> placed = layout.Arrange(bigger);
    EXPECT_EQ(placed[static_cast<std::size_t>(fixed)], r);
    EXPECT_EQ(placed[static_cast<std::size_t>(moving)], (PixelRect{210, 220, 100, 50}));
    layout.SetAnchor(moving, std::nullopt);
    EXPECT_EQ(layout.Place(moving, bigger), r);
}
