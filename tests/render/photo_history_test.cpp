// The photos a renderer remembers for the keys that go back and forth.
#include "render/photo_history.h"

#include <gtest/gtest.h>

namespace {

std::string Name(int i) { return "/photos/p" + std::to_string(i) + ".jpg"; }

TEST(PhotoHistory, StepsBackAndForwardThroughTheShownPhotos)
{
    PhotoHistory h;
    EXPECT_FALSE(h.StepBack());
    EXPECT_FALSE(h.StepForward());
    for (int i = 0; i < 3; ++i)
        h.Shown(Name(i), false);
    EXPECT_EQ(h.StepBack(), Name(1));
    EXPECT_EQ(h.StepBack(), Name(0));
    EXPECT_FALSE(h.StepBack());
    // Photos shown again are not remembered twice.
    h.Shown(Name(0), true);
    EXPECT_EQ(h.Size(), 3u);
    EXPECT_EQ(h.StepForward(), Name(1));
    EXPECT_EQ(h.StepForward(), Name(2));
    // At the end a new photo is wanted; when it comes it is the current one.
    EXPECT_FALSE(h.StepForward());
    h.Shown(Name(3), false);
    EXPECT_EQ(h.Position(), 3u);
    EXPECT_EQ(h.StepBack(), Name(2));
    // A new photo while stepped back goes to the end and the cursor with it.
    h.Shown(Name(4), false);
    EXPECT_EQ(h.Position(), 4u);
    EXPECT_EQ(h.StepBack(), Name(3));
}

TEST(PhotoHistory, KeepsTheLastFiftyAndNothingNameless)
{
    PhotoHistory h;
    h.Shown("", false);
    EXPECT_EQ(h.Size(), 0u);
    for (int i = 0; i < 120; ++i)
        h.Shown(Name(i), false);
    EXPECT_EQ(h.Size(), PhotoHistory::kCapacity);
    std::string oldest;
    while (auto earlier = h.StepBack())
        oldest = *earlier;
    EXPECT_EQ(oldest, Name(70));
    EXPECT_EQ(h.Position(), 0u);
    // The cursor stays on the same photo when the oldest leaves.
    h.StepForward();
    h.Shown(Name(120), false);
    EXPECT_EQ(h.Position(), PhotoHistory::kCapacity - 1);
}

} // namespace
