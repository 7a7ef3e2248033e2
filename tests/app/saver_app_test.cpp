#include "app/profile_store.h"
#include "app/saver_app.h"
#include "app/saver_settings.h"
#include "app/test_log.h"

#include <gtest/gtest.h>

#include <map>

namespace {
struct WindowRecord {
    bool preview = false;
    bool noSounds = false;
    long parent = 0;
    std::optional<Rect> monitor;
    int closes = 0;
    int focus = 0;
};

class FakeWindow : public SaverWindow {
public:
    FakeWindow(WindowRecord& r, bool succeed) : r_(r), succeed_(succeed) {}
    void SetPreview(bool p) override { r_.preview = p; }
    void SetNoSounds(bool n) override { r_.noSounds = n; }
    bool CreateSaverWindow(long parent, const Rect* monitor) override
    {
        r_.parent = parent;
        if (monitor)
            r_.monitor = *monitor;
        return succeed_;
    }
    void PostClose() override { ++r_.closes; }
    void TakeFocus() override { ++r_.focus; }

private:
    WindowRecord& r_;
    bool succeed_;
};

class FakePlatform : public AppPlatform {
public:
    std::vector<Rect> monitors{{0, 0, 1920, 1080}};
    std::map<long, Rect> windows;
    std::vector<WindowRecord> made;
    std::vector<bool> succeed; // per window created; default true
    bool otherInstance = false;
    bool sheetOk = false;
    int depth = 24;
    int sheets = 0;

    FakePlatform() { made.reserve(16); }
    int ScreenDepth() override { return depth; }
    Rect ScreenGeometry() override { return monitors.front(); }
    std::optional<Rect> WindowRect(long h) override
    {
        auto it = windows.find(h);
        return it == windows.end() ? std::nullopt : std::optional<Rect>(it->second);
    }
    bool ActivateRunningInstance() override { return otherInstance; }
    std::vector<Rect> Monitors() override { return monitors; }
    std::unique_ptr<SaverWindow> NewSaverWindow() override
    {
        bool ok = made.size() < succeed.size() ? bool(succeed[made.size()]) : true;
        made.emplace_back();
        return std::make_unique<FakeWindow>(made.back(), ok);
    }
    int ReadNoSetDPIAware() override { return 0; }
    void SetDPIAware() override {}
    bool RunConfigurationSheet(CSaverSettings& settings, ProfileStore& store) override
    {
        ++sheets;
        if (sheetOk)
            settings.Save(store);
        return sheetOk;
    }
    std::string OsDescription() override { return "Linux 6.1 Build 0 test"; }
    std::string CodecVersion() override { return "Qt6Gui Version 6.4.2.0"; }
};

struct StartUp {
    FakePlatform platform;
    MemoryProfileStore store;
    CSaverSettings settings;
    CSaverApp app;
    bool Start(const char* cl) { return app.InitInstance(cl, platform, store, settings, "", ""); }
};
} // namespace

TEST(SaverApp, OneWindowPerMonitorAndOnlyTheFirstPlaysMusic)
{
    StartUp r;
    r.platform.monitors = {{0, 0, 640, 480}, {640, 0, 1280, 480}, {1280, 0, 1920, 480}};
    r.store.Set("Settings", "Trace", "1");
    ScopedTestLog log;
    ASSERT_TRUE(r.Start("/s"));
    ASSERT_EQ(r.app.saverWindows.size(), 3u);
    EXPECT_EQ(r.app.mainWindow, r.app.saverWindows[0].get());
    EXPECT_FALSE(r.platform.made[0].noSounds);
    EXPECT_TRUE(r.platform.made[1].noSounds);
    EXPECT_TRUE(r.platform.made[2].noSounds);
    EXPECT_EQ(r.platform.made[1].monitor, (Rect{640, 0, 1280, 480}));
    EXPECT_EQ(r.platform.made[0].focus, 1);
    auto messages = log.Messages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "StartType= 0"), 1);
    EXPECT_EQ(std::count_if(messages.begin(), messages.end(),
                            [](const std::string& m) { return m.rfind("Monitor Rect=(", 0) == 0; }),
              3);
    EXPECT_NE(std::find(messages.begin(), messages.end(), "Monitor Rect=(1280,0)-(1920,480)"), messages.end());
    EXPECT_EQ(messages.front(), "Tessaview v1.0.0");

    r.app.CloseAllSaverWindows();
    for (auto& w : r.platform.made)
        EXPECT_EQ(w.closes, 1);
}

TEST(SaverApp, FailedWindowsAreDroppedAndTheNextBecomesMain)
{
    StartUp r;
    r.platform.monitors = {{0, 0, 640, 480}, {640, 0, 1280, 480}};
    r.platform.succeed = {false, true};
    r.store.Set("Settings", "Trace", "1");
    ScopedTestLog log;
    ASSERT_TRUE(r.Start("/s"));
    ASSERT_EQ(r.app.saverWindows.size(), 1u);
    // No main window existed when the second was made, so it plays.
    EXPECT_FALSE(r.platform.made[1].noSounds);
    auto messages = log.Messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), "Create Window Failed !"), messages.end());

    StartUp none;
    none.platform.succeed = {false};
    EXPECT_FALSE(none.Start("/s"));
}

TEST(SaverApp, PreviewSizeRuleDecidesPreviewAndTracing)
{
    {
        StartUp small;
        small.platform.windows[1234] = {0, 0, 152, 112};
        small.store.Set("Settings", "Trace", "1");
        ASSERT_TRUE(small.Start("/p 1234"));
        EXPECT_EQ(small.app.preview, 1);
        EXPECT_EQ(small.app.trace, 0);
        ASSERT_EQ(small.platform.made.size(), 1u);
        EXPECT_EQ(small.platform.made[0].parent, 1234);
        EXPECT_TRUE(small.platform.made[0].preview);
        EXPECT_FALSE(small.platform.made[0].monitor.has_value());
    }
    {
        StartUp large;
        large.platform.windows[1234] = {0, 0, 800, 600};
        large.store.Set("Settings", "Trace", "1");
        ScopedTestLog log;
        ASSERT_TRUE(large.Start("/p 1234"));
        EXPECT_EQ(large.app.preview, 0);
        EXPECT_EQ(large.app.trace, 1);
        EXPECT_EQ(large.platform.made[0].parent, 1234);
        auto messages = log.Messages();
        EXPECT_NE(std::find(messages.begin(), messages.end(),
                            "Creating preview window or window with a parent (Preview=0 hWnd=4d2)"),
                  messages.end());
    }
    {
        // Exactly 320 x 200 is still the small preview.
        StartUp edge;
        edge.platform.windows[9] = {0, 0, 320, 200};
        edge.Start("/p 9");
        EXPECT_EQ(edge.app.preview, 1);
    }
    {
        // A handle naming no window keeps the preview flag; creation is the window's to fail.
        StartUp missing;
        missing.platform.succeed = {false};
        EXPECT_FALSE(missing.Start("/p 4321"));
        EXPECT_EQ(missing.app.preview, 1);
    }
    {
        // /p without a number runs full screen on every monitor.
        StartUp bare;
        bare.platform.monitors = {{0, 0, 10, 10}, {10, 0, 20, 10}};
        ASSERT_TRUE(bare.Start("/p"));
        EXPECT_EQ(bare.app.preview, 0);
        EXPECT_EQ(bare.app.saverWindows.size(), 2u);
    }
}

TEST(SaverApp, DisableMultiMonitorMakesOneWindow)
{
    StartUp r;
    r.platform.monitors = {{0, 0, 640, 480}, {640, 0, 1280, 480}};
    r.store.Set("Settings", "DisableMultiMonitor", "1");
    ASSERT_TRUE(r.Start("/s"));
    ASSERT_EQ(r.app.saverWindows.size(), 1u);
    EXPECT_FALSE(r.platform.made[0].monitor.has_value());
    EXPECT_EQ(r.platform.made[0].parent, 0);
}

TEST(SaverApp, OtherModesEndWithoutWindows)
{
    StartUp second;
    second.platform.otherInstance = true;
    EXPECT_FALSE(second.Start("/s"));
    EXPECT_TRUE(second.platform.made.empty());

    // Preview and configuration never look for another instance.
    StartUp preview;
    preview.platform.otherInstance = true;
    preview.platform.windows[5] = {0, 0, 100, 100};
    EXPECT_TRUE(preview.Start("/p 5"));

    StartUp cancel;
    EXPECT_FALSE(cancel.Start(""));
    EXPECT_EQ(cancel.platform.sheets, 1);
    EXPECT_TRUE(cancel.store.Writes().empty());

    StartUp ok;
    ok.platform.sheetOk = true;
    EXPECT_FALSE(ok.Start("/c"));
    EXPECT_FALSE(ok.store.Writes().empty());

    StartUp password;
    EXPECT_FALSE(password.Start("/a"));
    EXPECT_EQ(password.platform.sheets, 0);
}

TEST(SaverApp, CodecPathDefaultFollowsTheScreenDepth)
{
    // The settings record carries the decode path to the lists and the loader.
    StartUp deep;
    deep.Start("/c");
    EXPECT_EQ(deep.app.gdiplusEnabled, 1);
    EXPECT_TRUE(deep.settings.codecPath);
    StartUp palette;
    palette.platform.depth = 8;
    palette.Start("/c");
    EXPECT_EQ(palette.app.gdiplusEnabled, 0);
    EXPECT_FALSE(palette.settings.codecPath);
    EXPECT_EQ(palette.app.screenDepthClass, 8);
    StartUp forced;
    forced.platform.depth = 8;
    forced.store.Set("Settings", "GdiPlus", "1");
    forced.Start("/c");
    EXPECT_EQ(forced.app.gdiplusEnabled, 1);
    EXPECT_TRUE(forced.settings.codecPath);
}
