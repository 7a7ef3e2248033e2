#include "saver/exit_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
class FakeProvider : public PasswordProvider {
public:
    std::vector<bool> answers;
    int calls = 0;
    std::function<void()> during;
    bool Verify() override
    {
        ++calls;
        if (during)
            during();
        bool a = answers.empty() ? false : answers.front();
        if (!answers.empty())
            answers.erase(answers.begin());
        return a;
    }
};

struct Rig {
    int monitorOn = 0, closes = 0, hides = 0, shows = 0;
    std::vector<bool> dialogStates;
    PointerState pointer{[this] { ++hides; }, [this] { ++shows; }};
    ExitRules rules;
    Rig(ExitSettings s = {}, bool topLevel = true, TickCount start = 10'000)
        : rules(s, topLevel, start,
                {[this] { ++monitorOn; }, [this] { ++closes; }, [this](bool up) { dialogStates.push_back(up); }},
                pointer)
    {
        ResetExitAccepted();
    }
};
} // namespace

TEST(ExitRules, MouseMoveMeasuresFromTheFirstPositionWithOnePixelTolerated)
{
    Rig rig;
    rig.rules.MouseMove(100, 100, 12'000);   // first position only
    rig.rules.MouseMove(101, 99, 12'100);    // one pixel on each axis
    EXPECT_EQ(rig.closes, 0);
    EXPECT_EQ(rig.monitorOn, 0);
    rig.rules.MouseMove(100, 102, 12'200);   // two on one axis
    EXPECT_EQ(rig.monitorOn, 1);
    EXPECT_EQ(rig.closes, 1);
    EXPECT_TRUE(ExitAccepted());
    EXPECT_TRUE(rig.rules.Exiting());
}

TEST(ExitRules, FirstPositionIsNeverUpdatedBySmallMoves)
{
    Rig rig;
    rig.rules.MouseMove(50, 50, 12'000);
    rig.rules.MouseMove(51, 51, 12'000);
    rig.rules.MouseMove(52, 51, 12'000);     // 2 from the first, 1 from the previous
    EXPECT_EQ(rig.closes, 1);
}

TEST(ExitRules, NothingEndsTheFirstSecondAndRequestsAreSpacedByMoreThanASecond)
{
    Rig rig({}, true, 10'000);
    rig.rules.KeyDown(10'500);
    rig.rules.KeyDown(11'000);               // exactly one second: still refused
    EXPECT_EQ(rig.closes, 0);
    rig.rules.KeyDown(11'001);
    EXPECT_EQ(rig.closes, 1);
}

TEST(ExitRules, GuardUsesTheUnsignedDifferenceAcrossTheTickWrap)
{
    Rig rig({}, true, 0xFFFFFF00u);
    rig.rules.KeyDown(0x00000010u);          // 0x110 ms later: refused
    EXPECT_EQ(rig.closes, 0);
    rig.rules.KeyDown(0x00000400u);          // 0x500 = 1280 ms later
    EXPECT_EQ(rig.closes, 1);
}

TEST(ExitRules, ExitSettingsChooseWhichInputCountsButAllWakeTheMonitor)
{
    Rig rig({false, true, false, false});
    rig.rules.MouseMove(0, 0, 20'000);
    rig.rules.MouseMove(30, 30, 20'000);
    rig.rules.KeyDown(20'000);
    EXPECT_EQ(rig.monitorOn, 2);
    EXPECT_EQ(rig.closes, 0);
    rig.rules.ButtonDown(20'000);
    EXPECT_EQ(rig.closes, 1);
}

TEST(ExitRules, CloseCommandEndsTheShowWhateverTheSettingsSay)
{
    Rig rig({false, false, false, false});
    rig.rules.KeyDown(20'000);
    rig.rules.ButtonDown(20'000);
    EXPECT_EQ(rig.closes, 0);
    rig.rules.CloseCommand(20'000);
    EXPECT_EQ(rig.closes, 1);
}

TEST(ExitRules, WindowWithAParentNeverEndsByInputWithoutProvider)
{
    Rig rig({}, false);
    rig.rules.KeyDown(20'000);
    rig.rules.ButtonDown(22'000);
    EXPECT_EQ(rig.closes, 0);
    EXPECT_FALSE(ExitAccepted());
    EXPECT_FALSE(rig.rules.Exiting());
}

TEST(ExitRules, WrongPasswordKeepsTheShowAndTheNextTryWaitsASecond)
{
    Rig rig({true, true, true, true});
    FakeProvider provider;
    provider.answers = {false, true, true};
    rig.rules.SetPasswordProvider(&provider);
    rig.pointer.Hide();
    rig.rules.KeyDown(20'000);
    EXPECT_EQ(provider.calls, 1);
    EXPECT_EQ(rig.closes, 0);
    // Shown for the dialog, hidden again after it (HideCursor on).
    EXPECT_EQ(rig.shows, 1);
    EXPECT_EQ(rig.hides, 2);
    EXPECT_TRUE(rig.pointer.Hidden());
    EXPECT_EQ(rig.dialogStates, (std::vector<bool>{true, false}));
    rig.rules.KeyDown(20'900);               // within a second of the refused try
    EXPECT_EQ(provider.calls, 1);
    rig.rules.KeyDown(21'100);
    EXPECT_EQ(provider.calls, 2);
    EXPECT_EQ(rig.closes, 1);
}

TEST(ExitRules, PasswordDialogNeitherNestsNorDrawsAndRestoresBusy)
{
    Rig rig;
    FakeProvider provider;
    provider.answers = {true};
    rig.rules.SetPasswordProvider(&provider);
    bool busyDuring = false, nestedAnswer = true;
    provider.during = [&] {
        busyDuring = rig.rules.Busy();
        EXPECT_TRUE(rig.rules.InPasswordCheck());
        nestedAnswer = rig.rules.VerifyPassword();   // the dialog pumps events
        rig.rules.KeyDown(20'000);                   // an input event while it is up
    };
    rig.rules.KeyDown(20'000);
    EXPECT_TRUE(busyDuring);
    EXPECT_FALSE(nestedAnswer);
    EXPECT_EQ(provider.calls, 1);
    EXPECT_EQ(rig.closes, 1);
    EXPECT_FALSE(rig.rules.Busy());
    EXPECT_FALSE(rig.rules.InPasswordCheck());
}

TEST(ExitRules, WithoutHideCursorThePointerStaysVisibleAfterTheDialog)
{
    Rig rig({true, true, true, false});
    FakeProvider provider;
    rig.rules.SetPasswordProvider(&provider);
    rig.pointer.Hide();
    rig.rules.KeyDown(20'000);
    EXPECT_FALSE(rig.pointer.Hidden());
    EXPECT_EQ(rig.hides, 1);
    EXPECT_EQ(rig.shows, 1);
}
