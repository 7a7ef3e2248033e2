// The balloon's size and placement rules, without a display.
#include "controls/balloon_geometry.h"

#include <gtest/gtest.h>

namespace {
const IntRect kWork{0, 0, 1920, 1040};
const IntSize kWindow{216, 105};   // c = (216 - 20) / 4 = 49

IntPoint TipOnScreen(const BalloonPlacement& p)
{
    return {p.topLeft.x + p.tail[1].x, p.topLeft.y + p.tail[1].y};
}

bool BodyInside(const BalloonPlacement& p, const IntRect& work)
{
    return p.topLeft.x >= work.left && p.topLeft.x + p.body.right <= work.right &&
           p.topLeft.y + p.body.top >= work.top && p.topLeft.y + p.body.bottom <= work.bottom;
}
} // namespace

TEST(BalloonSize, HeaderAddsGapsOnlyBetweenPartsAndTheWindowAddsMarginsAndTail)
{
    BalloonMeasures m;
    m.icon = {16, 16};
    m.closeButtonShown = true;
    m.closeButton = {16, 16};
    m.title = {50, 15};
    m.body = {200, 45};
    BalloonSize s = ComputeBalloonSize(m);
    EXPECT_EQ(s.header, (IntSize{16 + 8 + 16 + 8 + 50, 16}));
    EXPECT_EQ(s.content, (IntSize{200, 16 + 8 + 45}));
    EXPECT_EQ(s.window, (IntSize{216, 105}));

    // No icon and no button: the title alone, without a leading gap.
    m.icon = {};
    m.closeButtonShown = false;
    m.title = {300, 17};
    s = ComputeBalloonSize(m);
    EXPECT_EQ(s.header, (IntSize{300, 17}));
    EXPECT_EQ(s.content, (IntSize{300, 17 + 8 + 45}));
    EXPECT_EQ(s.window, (IntSize{316, 17 + 8 + 45 + 36}));

    // A hidden close button counts for nothing, not even its height.
    m.title = {};
    m.closeButton = {30, 30};
    s = ComputeBalloonSize(m);
    EXPECT_EQ(s.header, (IntSize{0, 0}));

    EXPECT_EQ(BalloonTextWidth(kWork), 960);
}

TEST(BalloonPlacement, EachQuadrantPutsTheTailWhereTheAnchorLeavesRoom)
{
    // Upper right: tail at the top, right part.
    BalloonPlacement p = PlaceBalloon({1500, 200}, kWindow, kWork);
    EXPECT_EQ(p.quadrant, 0);
    EXPECT_EQ(p.tail[0], (IntPoint{147, 21}));
    EXPECT_EQ(p.tail[1], (IntPoint{167, 1}));
    EXPECT_EQ(p.tail[2], (IntPoint{167, 21}));
    EXPECT_EQ(p.body, (IntRect{0, 20, 216, 105}));
    EXPECT_EQ(p.topLeft, (IntPoint{1333, 199}));
    EXPECT_EQ(p.client, (IntRect{8, 28, 208, 97}));

    // Upper left: top, left part.
    p = PlaceBalloon({300, 200}, kWindow, kWork);
    EXPECT_EQ(p.quadrant, 1);
    EXPECT_EQ(p.tail[0], (IntPoint{69, 21}));
    EXPECT_EQ(p.tail[1], (IntPoint{49, 1}));
    EXPECT_EQ(p.tail[2], (IntPoint{49, 21}));
    EXPECT_EQ(p.topLeft, (IntPoint{251, 199}));

    // Lower right: bottom, right part; the body sits above the tail.
    p = PlaceBalloon({1500, 900}, kWindow, kWork);
    EXPECT_EQ(p.quadrant, 2);
    EXPECT_EQ(p.tail[0], (IntPoint{147, 83}));
    EXPECT_EQ(p.tail[1], (IntPoint{167, 103}));
    EXPECT_EQ(p.tail[2], (IntPoint{167, 83}));
    EXPECT_EQ(p.body, (IntRect{0, 0, 216, 85}));
    EXPECT_EQ(p.client, (IntRect{8, 8, 208, 77}));
    EXPECT_EQ(p.topLeft, (IntPoint{1333, 797}));

    // Lower left.
    p = PlaceBalloon({300, 900}, kWindow, kWork);
    EXPECT_EQ(p.quadrant, 3);
    EXPECT_EQ(p.tail[1], (IntPoint{49, 103}));
    EXPECT_EQ(p.topLeft, (IntPoint{251, 797}));

    // The middle belongs to the right and to the lower half.
    EXPECT_EQ(BalloonQuadrant({960, 520}, kWork), 2);
    EXPECT_EQ(BalloonQuadrant({959, 519}, kWork), 1);
    // Quadrants are relative to the monitor's own work area.
    EXPECT_EQ(BalloonQuadrant({2000, 100}, IntRect{1920, 0, 3840, 1040}), 1);
}

TEST(BalloonPlacement, PushedInsideAtTheSidesWithTheTipStillOnTheAnchor)
{
    // Near the left edge: pushed right, the tip moves left by the same amount.
    BalloonPlacement p = PlaceBalloon({20, 200}, kWindow, kWork);
    EXPECT_EQ(p.topLeft.x, 0);
    EXPECT_EQ(p.tail[1].x, 20);
    EXPECT_EQ(TipOnScreen(p), (IntPoint{20, 200}));
    EXPECT_EQ(p.tail[0].x, 69);   // the base stays

    // Near the right edge: pushed left, the tip moves right.
    p = PlaceBalloon({1910, 200}, kWindow, kWork);
    EXPECT_EQ(p.topLeft.x, 1920 - 216);
    EXPECT_EQ(TipOnScreen(p), (IntPoint{1910, 200}));
    p = PlaceBalloon({1919, 900}, kWindow, kWork);
    EXPECT_EQ(TipOnScreen(p), (IntPoint{1919, 900}));
    EXPECT_TRUE(BodyInside(p, kWork));

    // A control in the lower right corner: tail at the bottom right, all inside.
    p = PlaceBalloon({1900, 1030}, kWindow, kWork);
    EXPECT_EQ(p.quadrant, 2);
    EXPECT_TRUE(BodyInside(p, kWork));
    EXPECT_LE(p.topLeft.y + kWindow.height, kWork.bottom);
    EXPECT_EQ(TipOnScreen(p), (IntPoint{1900, 1030}));

    // An anchor beyond the work area: the tip stays on the window's edge.
    p = PlaceBalloon({-40, 200}, kWindow, kWork);
    EXPECT_EQ(p.topLeft.x, 0);
    EXPECT_EQ(p.tail[1].x, 0);
}

TEST(BalloonPlacement, PushedInsideAtTopAndBottomKeepingTheBodyVisible)
{
    // Anchor above the work area (on a top panel): moved down so the body
    // starts at the work area's top; only the tail sticks out.
    const IntRect work{0, 40, 1920, 1080};
    BalloonPlacement p = PlaceBalloon({1500, 10}, kWindow, work);
    EXPECT_EQ(p.quadrant, 0);
    EXPECT_EQ(p.topLeft.y + p.body.top, 40);

    // A tall balloon in the upper half that would reach below the bottom.
    const IntSize tall{216, 600};
    p = PlaceBalloon({1500, 500}, tall, kWork);
    EXPECT_EQ(p.quadrant, 0);
    EXPECT_EQ(p.topLeft.y + tall.height, kWork.bottom);
    EXPECT_TRUE(BodyInside(p, kWork));

    // A tall balloon in the lower half that would start above the top.
    p = PlaceBalloon({1500, 560}, tall, kWork);
    EXPECT_EQ(p.quadrant, 2);
    EXPECT_EQ(p.topLeft.y, 0);
    EXPECT_TRUE(BodyInside(p, kWork));
}

TEST(BalloonPlacement, TailPointsAreClampedIntoTheBody)
{
    // W = 40: c = 5, the right part's tip (35) is pulled in to 32.
    BalloonPlacement p = PlaceBalloon({1500, 200}, IntSize{40, 60}, kWork);
    EXPECT_EQ(p.tail[0].x, 15);
    EXPECT_EQ(p.tail[1].x, 32);
    EXPECT_EQ(p.tail[2].x, 32);
    // W = 30: c = 2, the left part's base and tip come up to 8.
    p = PlaceBalloon({300, 200}, IntSize{30, 60}, kWork);
    EXPECT_EQ(p.tail[0].x, 22);
    EXPECT_EQ(p.tail[1].x, 8);
    EXPECT_EQ(p.tail[2].x, 8);
}

TEST(BalloonOptions, BitsAndTheirRules)
{
    EXPECT_EQ(kBalloonPageOptions, kBalloonCloseOnLButtonDown | kBalloonCloseOnRButtonDown |
                                       kBalloonCloseOnKeyDown | kBalloonShowCloseButton);
    EXPECT_EQ(kBalloonPointerCloseBits, 0x7Fu);
    EXPECT_EQ(kBalloonCloseOnMouseMove & kBalloonPointerCloseBits, kBalloonCloseOnMouseMove);
    EXPECT_EQ(kBalloonCloseOnKeyDown & kBalloonPointerCloseBits, 0u);

    // Either system effect off: no fades at all.
    EXPECT_EQ(EffectiveBalloonOptions(0x04A8, true, true), 0x04A8u);
    EXPECT_EQ(EffectiveBalloonOptions(0x04A8, false, true), 0x04A8u | 0xC000u);
    EXPECT_EQ(EffectiveBalloonOptions(0x04A8, true, false), 0x04A8u | 0xC000u);

    // The hover tolerance holds on either axis, inclusive.
    EXPECT_FALSE(BalloonPointerMovedAway({100, 100}, {103, 97}, 3));
    EXPECT_TRUE(BalloonPointerMovedAway({100, 100}, {104, 100}, 3));
    EXPECT_TRUE(BalloonPointerMovedAway({100, 100}, {100, 96}, 3));
}
