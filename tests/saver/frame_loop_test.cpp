#include "saver/frame_loop.h"
#include "saver/monitor_power.h"
#include "app/test_log.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
struct LoopRig {
    int inits = 0, frames = 0, supervisions = 0;
    bool created = true, music = true;
    std::function<void()> duringInit;
    FrameLoop loop{{[this] {
                        ++inits;
                        if (duringInit)
                            duringInit();
                    },
                    [this] { return created; }, [this] { ++frames; }, [this] { return music; },
                    [this] { ++supervisions; }}};
};
} // namespace

TEST(FrameLoop, FirstTickOnlyInitialisesAndLaterTicksDrawOneFrameEach)
{
    LoopRig rig;
    rig.loop.Tick({}, 0);
    EXPECT_EQ(rig.inits, 1);
    EXPECT_EQ(rig.frames, 0);
    for (int i = 0; i < 5; ++i)
        rig.loop.Tick({}, 40 * (i + 1));
    EXPECT_EQ(rig.inits, 1);
    EXPECT_EQ(rig.frames, 5);
    EXPECT_EQ(rig.loop.Frames(), 5);
}

TEST(FrameLoop, NestedTicksDuringInitialisationReturnAtOnce)
{
    LoopRig rig;
    rig.duringInit = [&] {
        rig.loop.Tick({}, 40);   // a message box pumps the timer
        rig.loop.Tick({}, 80);
    };
    rig.loop.Tick({}, 0);
    EXPECT_EQ(rig.inits, 1);
    EXPECT_EQ(rig.frames, 0);
    EXPECT_EQ(rig.supervisions, 0);
}

TEST(FrameLoop, BusyMonitorOffOrNoRendererDrawNothingButMusicIsStillSupervised)
{
    LoopRig rig;
    rig.loop.Tick({}, 0);
    for (int i = 0; i < 20; ++i)
        rig.loop.Tick({false, i % 2 == 0, i % 2 == 1}, 0);
    EXPECT_EQ(rig.frames, 0);
    EXPECT_EQ(rig.supervisions, 1);
    rig.created = false;
    rig.loop.Tick({}, 0);
    EXPECT_EQ(rig.frames, 0);
}

TEST(FrameLoop, ExitingWindowIgnoresTicksAltogether)
{
    LoopRig rig;
    rig.loop.Tick({true}, 0);
    EXPECT_EQ(rig.inits, 0);
}

TEST(FrameLoop, MusicIsSupervisedEveryTwentiethTickOnlyWhenItPlays)
{
    LoopRig rig;
    rig.loop.Tick({}, 0);
    for (int i = 0; i < 60; ++i)
        rig.loop.Tick({}, 0);
    EXPECT_EQ(rig.supervisions, 3);
    rig.music = false;
    for (int i = 0; i < 60; ++i)
        rig.loop.Tick({}, 0);
    EXPECT_EQ(rig.supervisions, 3);
}

TEST(FrameLoop, LogsTheAverageRateEveryHundredFrames)
{
    ScopedTestLog log;
    LoopRig rig;
    rig.loop.Tick({}, 0);
    rig.loop.StartFrameClock(1000);
    for (int i = 1; i <= 200; ++i)
        rig.loop.Tick({}, 1000 + 40 * i);
    auto messages = log.Messages();
    ASSERT_EQ(std::count_if(messages.begin(), messages.end(),
                            [](const std::string& m) { return m.find("frames per second") != std::string::npos; }),
              2);
    EXPECT_NE(std::find(messages.begin(), messages.end(), "25.000000 frames per second"), messages.end());
}

TEST(MonitorPower, LowPowerOrOffStopsFramesUntilUserInput)
{
    ScopedTestLog log;
    MonitorPower power(true);
    power.OnPowerCommand(-1);
    EXPECT_FALSE(power.Off());
    power.OnPowerCommand(2);
    EXPECT_TRUE(power.Off());
    power.OnPowerCommand(-1);                // the system's power-on does not end it
    EXPECT_TRUE(power.Off());
    power.SetMonitorOn();
    EXPECT_FALSE(power.Off());
    power.SetMonitorOn();
    auto m = log.Messages();
    EXPECT_EQ(m, (std::vector<std::string>{"OnSysCommand:: SC_MONITORPOWER -1", "OnSysCommand:: SC_MONITORPOWER 2",
                                           "OnSysCommand:: SC_MONITORPOWER -1", "SetMonitorOn()"}));
}

TEST(MonitorPower, DisabledMonitorOffKeepsDrawing)
{
    MonitorPower power(false);
    power.OnPowerCommand(1);
    EXPECT_FALSE(power.Off());
}

TEST(MonitorPower, DpmsLevelsBecomeOneCommandPerChange)
{
    MonitorPower power(true);
    int command = 0;
    EXPECT_FALSE(power.DpmsChanged(0, command));
    EXPECT_TRUE(power.DpmsChanged(1, command));
    EXPECT_EQ(command, 1);
    EXPECT_FALSE(power.DpmsChanged(1, command));
    EXPECT_TRUE(power.DpmsChanged(3, command));
    EXPECT_EQ(command, 2);
    EXPECT_TRUE(power.DpmsChanged(0, command));
    EXPECT_EQ(command, -1);
}
