#include "app/saver_settings.h"
#include "config/adv_opt_rules.h"

#include <gtest/gtest.h>

namespace {
AdvOptFields AllExitsOn()
{
    AdvOptFields f;
    f.exitMMove = f.exitMClick = f.exitKClick = 1;
    return f;
}
} // namespace

TEST(AdvOptRules, SlowRatesSnapToZeroButTheSizeDoesNot)
{
    for (int rate : {5, -6, 6, 0, -1})
        EXPECT_EQ(SnapRate(rate), 0) << rate;
    for (int rate : {7, -7, 99, -99})
        EXPECT_EQ(SnapRate(rate), rate) << rate;

    AdvOptFields f = AllExitsOn();
    f.spinX = 5;
    f.spinY = -6;
    f.spinZ = 7;
    f.speedX = 6;
    f.speedY = 7;
    f.speedZ = 3;
    f.size = 3;
    CSaverSettings s;
    ASSERT_TRUE(SaveAdvOptFields(f, s));
    EXPECT_EQ(s.SpinX, 0);
    EXPECT_EQ(s.SpinY, 0);
    EXPECT_EQ(s.SpinZ, 7);
    EXPECT_EQ(s.SpeedX, 0);
    EXPECT_EQ(s.SpeedY, 7);
    EXPECT_EQ(s.SpeedZ, 0);
    EXPECT_EQ(s.CubeSize, 3);

    f.spinZ = -7;
    ASSERT_TRUE(SaveAdvOptFields(f, s));
    EXPECT_EQ(s.SpinZ, -7);
}

TEST(AdvOptRules, NoExitEventRefusesAndCopiesNothingAnyOneIsEnough)
{
    CSaverSettings s;
    s.ExitMMove = 1;
    s.SpinX = 40;
    s.KeepUpright = 0;
    AdvOptFields none;
    none.spinX = 80;
    none.keepUpright = 1;
    EXPECT_FALSE(AnyExitEvent(none));
    EXPECT_FALSE(SaveAdvOptFields(none, s));
    EXPECT_EQ(s.ExitMMove, 1);
    EXPECT_EQ(s.SpinX, 40);
    EXPECT_EQ(s.KeepUpright, 0);

    for (int which = 0; which < 3; ++which) {
        AdvOptFields one = none;
        (which == 0 ? one.exitMMove : which == 1 ? one.exitMClick : one.exitKClick) = 1;
        CSaverSettings t;
        ASSERT_TRUE(SaveAdvOptFields(one, t)) << which;
        EXPECT_EQ(t.ExitMMove, which == 0);
        EXPECT_EQ(t.ExitMClick, which == 1);
        EXPECT_EQ(t.ExitKClick, which == 2);
        EXPECT_EQ(t.SpinX, 80);
        EXPECT_EQ(t.KeepUpright, 1);
    }
}

TEST(AdvOptRules, LoadingThenSavingKeepsEveryField)
{
    CSaverSettings s;
    s.ExitMMove = 0;
    s.ExitMClick = 1;
    s.ExitKClick = 0;
    s.KeepUpright = 1;
    s.SpinX = -50;
    s.SpinY = 12;
    s.SpinZ = 99;
    s.SpeedX = 8;
    s.SpeedY = 30;
    s.SpeedZ = 77;
    s.CubeSize = 1;
    s.KeepAspectRatio = 1;
    s.CubeFloat = 0;
    s.CubeTransp = 1;
    AdvOptFields f = LoadAdvOptFields(s);
    EXPECT_EQ(f.spinX, -50);
    EXPECT_EQ(f.size, 1);
    EXPECT_EQ(f.transparent, 1);

    CSaverSettings t;
    ASSERT_TRUE(SaveAdvOptFields(f, t));
    EXPECT_EQ(LoadAdvOptFields(t), f);
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
