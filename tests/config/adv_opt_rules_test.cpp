#include "config/adv_opt_rules.h"

#include <gtest/gtest.h>

TEST(AdvOptRules, SlowRatesSnapToZero)
{
    for (int rate : {5, -6, 6, 0, -1})
        EXPECT_EQ(SnapRate(rate), 0) << rate;
    for (int rate : {7, -7, 99, -99})
        EXPECT_EQ(SnapRate(rate), rate) << rate;
}

TEST(AdvOptRules, TransparentFollowsTheAspectBox)
{
    // Without the aspect box: disabled and off, whatever it was.
    EXPECT_EQ(ApplyTransparencyRule(false, true, true), (TransparentBox{false, false}));
    EXPECT_EQ(ApplyTransparencyRule(false, false, true), (TransparentBox{false, false}));
    // With it and floating pictures: switched on.
    EXPECT_EQ(ApplyTransparencyRule(true, true, false), (TransparentBox{true, true}));
    // With it and connected faces: enabled, mark kept.
    EXPECT_EQ(ApplyTransparencyRule(true, false, false), (TransparentBox{true, false}));
    EXPECT_EQ(ApplyTransparencyRule(true, false, true), (TransparentBox{true, true}));
}
