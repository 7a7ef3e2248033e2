// The photo-frame keys in the real executable: with ExitKClick 0 the arrows
// and Page keys step through the photos and P or Space pauses; with
// ExitKClick 1 every key still ends the show.
// GoogleTest before Xlib, whose macros (None, Bool) would break it.
#include <gtest/gtest.h>

#include "support/show_harness.h"

#include <csignal>
#include <thread>

using namespace std::chrono_literals;
using namespace show;
namespace fs = std::filesystem;

namespace {

class FrameKeysTest : public ::testing::Test {
protected:
    void SetUp() override { Serve(XServer::Virtual(800, 600)); }
    void Serve(std::unique_ptr<XServer> s)
    {
        show.reset();
        server = std::move(s);
        if (!server)
            return;
        show = std::make_unique<Show>(*server);
        show->settings["Settings"]["ExitKClick"] = "0";
        show->settings["Settings"]["ExitMMove"] = "0";
        show->settings["Settings"]["Random"] = "0";
        show->settings["Settings"]["Delay"] = "30";
    }
    void TearDown() override
    {
        if (HasFailure() && server && show)
            KeepEvidence(*server, *show, ::testing::UnitTest::GetInstance()->current_test_info()->name());
        if (show && show->Running()) {
            show->Signal(SIGTERM);
            show->Wait(10s);
        }
        show.reset();
        server.reset();
    }
    // `count` photos in colours of their own, far from the built-in tiles.
    void Photos(int count)
    {
        const fs::path dir = show->Folder() / "photos";
        fs::create_directories(dir);
        for (int i = 0; i < count; ++i) {
            colours.push_back(0x0000FFu | std::uint32_t(20 * i) << 16 | std::uint32_t(200 - 15 * i) << 8);
            char name[32];
            std::snprintf(name, sizeof name, "photo%02d.bmp", i);
            WritePhoto(dir / name, colours.back());
        }
        show->SetImageFolder(dir);
    }
    void Start()
    {
        show->Start({"/s"});
        ASSERT_TRUE(show->WaitForLog("Done with Direct3D setup", 10s));
    }
    void Key(const std::string& key) { server->Run("xdotool key " + key); }
    std::vector<std::string> Loads() const
    {
        std::vector<std::string> out;
        for (const std::string& m : show->LogMessages())
            if (m.rfind("LoadNewImage: Loading file ", 0) == 0)
                out.push_back(m.substr(27));
        return out;
    }
    // Waits until `n` photos have become textures.
    bool WaitForTextures(int n, std::chrono::milliseconds timeout) const
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (show->CountLog("Create texture succeeded") < n) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(20ms);
        }
        return true;
    }
    // Pixels that differ between two screenshots.
    static int Differing(const Shot& a, const Shot& b)
    {
        int n = 0;
        for (std::size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i)
            n += a.pixels[i] != b.pixels[i] ? 1 : 0;
        return n;
    }

    std::unique_ptr<XServer> server;
    std::unique_ptr<Show> show;
    std::vector<std::uint32_t> colours;
};

TEST_F(FrameKeysTest, RightBringsTheNextPhotoWithinASecondAndLeftTheOneBefore)
{
    // A cube standing still, face 0 towards the eye.
    for (const char* key : {"SpinX", "SpinY", "SpinZ", "SpeedX", "SpeedY", "SpeedZ", "CubeFloat", "CubeTransp"})
        show->settings["Settings"][key] = "0";
    Photos(12);
    Start();
    // The quick first passes load four to six photos; Delay keeps the rest away.
    ASSERT_TRUE(WaitForTextures(4, 10s));
    std::this_thread::sleep_for(500ms);
    int textures = show->CountLog("Create texture succeeded");
    // Further photos until the next one goes on face 0.
    while (textures % 6 != 0) {
        Key("Next");
        ASSERT_TRUE(WaitForTextures(++textures, 5s));
    }
    std::this_thread::sleep_for(300ms);
    const std::uint32_t before = Screenshot(server->Dpy()).At(400, 300);

    const auto pressed = std::chrono::steady_clock::now();
    Key("Right");
    std::uint32_t now = before;
    while (now == before && std::chrono::steady_clock::now() - pressed < 1000ms) {
        std::this_thread::sleep_for(25ms);
        now = Screenshot(server->Dpy()).At(400, 300);
    }
    EXPECT_NE(now, before) << "no new photo within a second";
    EXPECT_TRUE(show->WaitForLog("OnKeyDown: Right, next photo now", 1s));
    ASSERT_TRUE(WaitForTextures(textures + 1, 2s));
    const std::vector<std::string> loads = Loads();
    ASSERT_GE(loads.size(), 2u);
    // The one shown before it comes again, loaded by its name, not chosen anew.
    Key("Left");
    EXPECT_TRUE(show->WaitForLog("OnKeyDown: Left, previous photo again", 2s));
    ASSERT_TRUE(WaitForTextures(textures + 2, 2s));
    const std::vector<std::string> after = Loads();
    ASSERT_EQ(after.size(), loads.size() + 1);
    EXPECT_EQ(after.back(), loads[loads.size() - 2]);
    EXPECT_TRUE(show->Running());
}

TEST_F(FrameKeysTest, PStopsAllMotionAndSpaceResumesIt)
{
    Photos(6);
    Start();
    ASSERT_TRUE(WaitForTextures(4, 10s));
    std::this_thread::sleep_for(500ms);
    Key("p");
    ASSERT_TRUE(show->WaitForLog("OnKeyDown: P, show paused", 2s));
    std::this_thread::sleep_for(300ms);
    const Shot first = Screenshot(server->Dpy());
    std::this_thread::sleep_for(1000ms);
    const Shot second = Screenshot(server->Dpy());
    EXPECT_GT(first.NonBlack(0, 0, 800, 600), 2000);
    EXPECT_EQ(Differing(first, second), 0) << "the cube moved while paused";

    Key("space");
    ASSERT_TRUE(show->WaitForLog("OnKeyDown: Space, show resumed", 2s));
    std::this_thread::sleep_for(500ms);
    EXPECT_GT(Differing(second, Screenshot(server->Dpy())), 1000) << "the cube did not move on";
    EXPECT_TRUE(show->Running());
}

TEST_F(FrameKeysTest, WhenKeysEndTheShowTheyDoNothingElse)
{
    show->settings["Settings"]["ExitKClick"] = "1";
    Photos(3);
    Start();
    std::this_thread::sleep_for(1500ms);
    Key("Right");
    EXPECT_EQ(show->Wait(10s), 0);
    EXPECT_FALSE(show->EndedBySignal());
    EXPECT_EQ(show->CountLog("OnKeyDown"), 0);
    EXPECT_EQ(show->CountLog("CloseDX exit"), 1);
}

TEST_F(FrameKeysTest, OneKeyPausesTheShowOnEveryMonitor)
{
    const fs::path folder = TempFolder("xorg");
    Serve(XServer::ThreeMonitors(folder));
    if (!server)
        GTEST_SKIP() << "Xorg with the dummy driver cannot run here";
    Photos(6);
    Start();
    ASSERT_TRUE(show->WaitForLog("Done with Direct3D setup", 10s));
    std::this_thread::sleep_for(2500ms);
    Key("p");
    ASSERT_TRUE(show->WaitForLog("OnKeyDown: P, show paused", 2s));
    EXPECT_EQ(show->CountLog("OnKeyDown"), 1);
    std::this_thread::sleep_for(300ms);
    const Shot first = Screenshot(server->Dpy());
    std::this_thread::sleep_for(1000ms);
    const Shot second = Screenshot(server->Dpy());
    for (int m = 0; m < 3; ++m) {
        EXPECT_GT(first.NonBlack(640 * m, 0, 640 * (m + 1), 480), 1000) << "monitor " << m;
        int moved = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 640 * m; x < 640 * (m + 1); ++x)
                moved += first.At(x, y) != second.At(x, y) ? 1 : 0;
        EXPECT_EQ(moved, 0) << "monitor " << m;
    }
    Key("p");
    ASSERT_TRUE(show->WaitForLog("OnKeyDown: P, show resumed", 2s));
    show->Signal(SIGTERM);
    EXPECT_EQ(show->Wait(10s), 0);
    std::error_code ec;
    fs::remove_all(folder, ec);
}

} // namespace
