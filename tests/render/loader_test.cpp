// The texture loader thread's passes, waits and queue, on fakes, with the
// photos that keys ask for and the pause; the adapter choice; and an object
// whose Init failed.
#include "app/saver_settings.h"
#include "app/test_log.h"
#include "imaging/own/bitmap_ex.h"
#include "render/adapter_choice.h"
#include "render/dx_graphics.h"
#include "render/texture_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <future>

namespace {

std::unique_ptr<TexturePixels> FakeTexture(const DeviceBitmap& b, std::uint32_t)
{
    auto t = std::make_unique<TexturePixels>();
    t->width = b.width;
    t->height = b.height;
    t->rgba.assign(std::size_t(b.width) * std::size_t(b.height) * 4, 0x7F);
    return t;
}

int LoadPhoto(CBitmapEx& target, int wantedSize)
{
    auto bmp = std::make_unique<DeviceBitmap>();
    bmp->width = bmp->height = wantedSize;
    bmp->pixels.assign(std::size_t(wantedSize) * std::size_t(wantedSize), 0xFF336699u);
    target.bitmap = std::move(bmp);
    return 0;
}

// Runs the thread body on this thread with a fake clock: every wait times out
// until `passes` waits have been made, then the kill event is seen.
struct FakeRun {
    LoaderShared shared;
    std::vector<unsigned> waits;
    std::vector<std::size_t> lowered;   // waits made before the priority dropped
    int loads = 0;

    explicit FakeRun(int passes, int delay = 15)
    {
        shared.owner = 0xABCD;
        shared.wantedSize = 8;
        shared.delaySeconds = [delay] { return delay; };
        shared.makeTexture = FakeTexture;
        shared.loadImage = [this](CBitmapEx& t, int size) {
            ++loads;
            return LoadPhoto(t, size);
        };
        shared.lowerPriority = [this] { lowered.push_back(waits.size()); };
        shared.wait = [this, passes](unsigned ms) {
            waits.push_back(ms);
            return int(waits.size()) > passes ? WaitResult::Signalled : WaitResult::TimedOut;
        };
    }
    int Run() { return TextureLoaderThread(shared); }
};

TEST(LoaderThread, SixQuickPassesThenDelayWaitsAtLowerPriority)
{
    ScopedTestLog log;
    FakeRun run(8, 15);
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(run.waits, (std::vector<unsigned>{1, 1, 1, 1, 1, 1, 15000, 15000, 15000}));
    EXPECT_EQ(run.lowered, (std::vector<std::size_t>{6}));
    // Four photos fill the queue; passes 4 to 7 fetch nothing.
    EXPECT_EQ(run.loads, 4);
    EXPECT_EQ(run.shared.pendingTextures.size(), kMaxPendingTextures);
    const auto m = log.Messages();
    ASSERT_FALSE(m.empty());
    EXPECT_EQ(m.front(), "Entering texture loader thread: abcd");
    EXPECT_EQ(m.back(), "Leaving texture loader thread, saw kill event: abcd");
    EXPECT_EQ(std::count(m.begin(), m.end(), "Create texture succeeded"), 4);
    const auto pass7 = std::find(m.begin(), m.end(), "Before loadimage, image=7: abcd");
    ASSERT_NE(pass7, m.end());
    EXPECT_EQ(*(pass7 + 1), "After loadimage, image=7: abcd");
}

TEST(LoaderThread, DelayIsReadAfreshAtEveryWait)
{
    int delay = 15;
    FakeRun run(8);
    run.shared.delaySeconds = [&delay] { return delay; };
    run.shared.wait = [&](unsigned ms) {
        run.waits.push_back(ms);
        delay = 2;
        return run.waits.size() > 8 ? WaitResult::Signalled : WaitResult::TimedOut;
    };
    run.Run();
    EXPECT_EQ(run.waits[6], 2000u);
}

TEST(LoaderThread, TheQueueDrainedBetweenPassesIsRefilled)
{
    FakeRun run(10);
    // The window thread takes one texture at each wait.
    auto inner = run.shared.wait;
    run.shared.wait = [&](unsigned ms) {
        std::lock_guard<std::mutex> g(run.shared.queueLock);
        if (!run.shared.pendingTextures.empty())
            run.shared.pendingTextures.pop_front();
        return inner(ms);
    };
    run.Run();
    EXPECT_EQ(run.loads, 10);
}

TEST(LoaderThread, FailedLoadsAndEmptyListsQueueNothingButCountAsPasses)
{
    ScopedTestLog log;
    FakeRun run(7);
    int answer = -1;
    run.shared.loadImage = [&](CBitmapEx& target, int size) {
        ++run.loads;
        // -1, then 0 with no bitmap (empty list), alternately.
        answer = answer == -1 ? 0 : -1;
        return answer;
    };
    run.shared.makeTexture = [](const DeviceBitmap&, std::uint32_t) { return std::unique_ptr<TexturePixels>(); };
    run.Run();
    EXPECT_EQ(run.loads, 7);
    EXPECT_TRUE(run.shared.pendingTextures.empty());
    EXPECT_EQ(run.waits.size(), 8u);
    const auto m = log.Messages();
    EXPECT_EQ(std::count(m.begin(), m.end(), "Creating Texture: abcd"), 0);
}

TEST(LoaderThread, AFailedTextureQueuesNothing)
{
    ScopedTestLog log;
    FakeRun run(2);
    run.shared.makeTexture = [](const DeviceBitmap&, std::uint32_t) { return std::unique_ptr<TexturePixels>(); };
    run.Run();
    EXPECT_TRUE(run.shared.pendingTextures.empty());
    const auto m = log.Messages();
    EXPECT_EQ(std::count(m.begin(), m.end(), "Creating Texture: abcd"), 2);
    EXPECT_EQ(std::count(m.begin(), m.end(), "Create texture succeeded"), 0);
}

TEST(LoaderThread, AFailedWaitEndsTheThread)
{
    ScopedTestLog log;
    FakeRun run(100);
    run.shared.wait = [](unsigned) { return WaitResult::Failed; };
    run.Run();
    EXPECT_EQ(run.loads, 0);
    EXPECT_EQ(log.Messages().back(), "Leaving texture loader thread, wait abandoned or failed: abcd");
}

TEST(LoaderThread, AnAbandonedBlockDropsWhatTheThreadStillMakes)
{
    FakeRun run(1);
    run.shared.abandoned = true;
    run.Run();
    EXPECT_EQ(run.loads, 1);
    EXPECT_TRUE(run.shared.pendingTextures.empty());
}

TEST(KillEventTest, ManualResetStaysSignalled)
{
    KillEvent e;
    EXPECT_EQ(e.Wait(std::chrono::milliseconds(1)), WaitResult::TimedOut);
    e.Set();
    EXPECT_EQ(e.Wait(std::chrono::milliseconds(100000)), WaitResult::Signalled);
    EXPECT_EQ(e.Wait(std::chrono::milliseconds(100000)), WaitResult::Signalled);
}

TEST(LoaderThreadObject, StopsWithinItsWaitAndLetsABlockedThreadGo)
{
    // A real thread in its slow phase ends at once when the event is set.
    auto shared = std::make_shared<LoaderShared>();
    shared->delaySeconds = [] { return 1000; };
    shared->loadImage = [](CBitmapEx&, int) { return -1; };
    shared->lowerPriority = [] {};
    shared->FillDefaults();
    LoaderThread thread;
    thread.Start(shared);
    while (!thread.Started())
        ;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    shared->killEvent.Set();
    EXPECT_TRUE(thread.WaitForEnd(std::chrono::milliseconds(5000)));

    // A thread stuck in its loader is let go after the bounded wait and ends on
    // its own later, holding only its shared block.
    auto release = std::make_shared<std::promise<void>>();
    auto released = release->get_future().share();
    auto stuck = std::make_shared<LoaderShared>();
    std::weak_ptr<LoaderShared> watch = stuck;
    stuck->loadImage = [released](CBitmapEx& t, int size) {
        released.wait();
        return LoadPhoto(t, size);
    };
    stuck->makeTexture = FakeTexture;
    stuck->FillDefaults();
    {
        LoaderThread blocked;
        blocked.Start(stuck);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        stuck->killEvent.Set();
        EXPECT_FALSE(blocked.WaitForEnd(std::chrono::milliseconds(100)));
        EXPECT_TRUE(stuck->abandoned);
    }
    stuck.reset();
    EXPECT_FALSE(watch.expired());
    release->set_value();
    for (int i = 0; i < 500 && !watch.expired(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(watch.expired());
}

std::string Name(int i) { return "/photos/p" + std::to_string(i) + ".jpg"; }

// The thread body on this thread with scripted waits: each wait runs the next
// step (which may ask for photos or pause) and answers what the step says.
struct ScriptedRun {
    LoaderShared shared;
    std::vector<unsigned> waits;
    std::vector<std::string> asked;   // the file of every load ("" for the next of the list)
    std::vector<std::function<WaitResult()>> steps;
    int next = 0;

    ScriptedRun()
    {
        shared.owner = 0xABCD;
        shared.wantedSize = 8;
        shared.delaySeconds = [] { return 30; };
        shared.makeTexture = FakeTexture;
        shared.lowerPriority = [] {};
        shared.loadPhoto = [this](CBitmapEx& t, int size, const std::string& file, std::string& loaded) {
            asked.push_back(file);
            loaded = file.empty() ? Name(int(asked.size())) : file;
            return LoadPhoto(t, size);
        };
        shared.wait = [this](unsigned ms) {
            waits.push_back(ms);
            if (next >= int(steps.size()))
                return WaitResult::Signalled;
            return steps[next++]();
        };
    }
    static std::function<WaitResult()> TimeOut() { return [] { return WaitResult::TimedOut; }; }
    void Run() { TextureLoaderThread(shared); }
    std::vector<PendingPhoto> Queue()
    {
        std::vector<PendingPhoto> out;
        for (auto& p : shared.pendingTextures)
            out.push_back({nullptr, p.file, p.requested, p.again});
        return out;
    }
};

TEST(PhotoFrameLoader, ARequestCutsTheDelayShortAndTheNextWaitIsAWholeDelay)
{
    ScriptedRun run;
    for (int i = 0; i < 6; ++i)
        run.steps.push_back(ScriptedRun::TimeOut());
    // In the seventh wait (30 s) the key asks for the next photo and one shown before.
    run.steps.push_back([&run] {
        // The queue drains as the window takes the six first photos.
        run.shared.pendingTextures.clear();
        EXPECT_TRUE(run.shared.Request({}));
        EXPECT_TRUE(run.shared.Request({Name(2)}));
        return WaitResult::Woken;
    });
    run.steps.push_back(ScriptedRun::TimeOut());   // the second request: no wait (0)
    run.Run();
    EXPECT_EQ(run.waits, (std::vector<unsigned>{1, 1, 1, 1, 1, 1, 30000, 0, 30000}));
    // Four quick passes fill the queue, the request is the fifth load.
    EXPECT_EQ(run.asked, (std::vector<std::string>{"", "", "", "", "", Name(2)}));
    const auto q = run.Queue();
    ASSERT_EQ(q.size(), 2u);
    EXPECT_TRUE(q[0].requested);
    EXPECT_FALSE(q[0].again);
    EXPECT_EQ(q[0].file, Name(5));
    EXPECT_TRUE(q[1].requested);
    EXPECT_TRUE(q[1].again);
    EXPECT_EQ(q[1].file, Name(2));
}

TEST(PhotoFrameLoader, APauseWaitsWithoutEndAndLoadsOnlyWhatIsAskedFor)
{
    ScriptedRun run;
    run.steps.push_back([&run] {
        run.shared.SetPaused(true);
        return WaitResult::Woken;
    });
    // Paused: even the quick passes wait for a request or the resume.
    run.steps.push_back([&run] {
        EXPECT_TRUE(run.shared.Request({}));
        return WaitResult::Woken;
    });
    run.steps.push_back([&run] {
        run.shared.SetPaused(false);
        return WaitResult::Woken;
    });
    run.steps.push_back(ScriptedRun::TimeOut());
    run.Run();
    EXPECT_EQ(run.waits, (std::vector<unsigned>{1, kWaitForever, kWaitForever, 1, 1}));
    EXPECT_EQ(run.asked.size(), 2u);
    const auto q = run.Queue();
    ASSERT_EQ(q.size(), 2u);
    EXPECT_TRUE(q[0].requested);
    EXPECT_FALSE(q[1].requested);
}

TEST(PhotoFrameLoader, RequestsAreBoundedAndPassTheFullQueue)
{
    ScriptedRun run;
    for (std::size_t i = 0; i < kMaxRequests; ++i)
        EXPECT_TRUE(run.shared.Request({Name(int(i))}));
    EXPECT_FALSE(run.shared.CanRequest());
    EXPECT_FALSE(run.shared.Request({}));
    // Four photos wait for the window already: requests are served all the same.
    for (std::size_t i = 0; i < kMaxPendingTextures; ++i)
        run.shared.pendingTextures.push_back({std::make_unique<TexturePixels>(), {}, false, false});
    for (std::size_t i = 0; i < kMaxRequests; ++i)
        run.steps.push_back(ScriptedRun::TimeOut());
    run.Run();
    EXPECT_EQ(run.asked.size(), kMaxRequests);
    EXPECT_EQ(run.shared.pendingTextures.size(), kMaxPendingTextures + kMaxRequests);
    EXPECT_TRUE(run.shared.CanRequest());
}

TEST(PhotoFrameLoader, AWakeEndsOneWaitAndTheKillStillWins)
{
    KillEvent e;
    e.Wake();
    EXPECT_EQ(e.Wait(std::chrono::milliseconds(100000)), WaitResult::Woken);
    EXPECT_EQ(e.Wait(std::chrono::milliseconds(1)), WaitResult::TimedOut);
    e.Wake();
    EXPECT_EQ(e.WaitForever(), WaitResult::Woken);
    e.Wake();
    e.Set();
    EXPECT_EQ(e.WaitForever(), WaitResult::Signalled);
    EXPECT_EQ(e.Wait(std::chrono::milliseconds(1)), WaitResult::Signalled);
}

TEST(AdapterChoice, LowestTouchedMonitorWinsElseZero)
{
    ScopedTestLog log;
    const std::vector<Rect> monitors = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}, {3200, 0, 4480, 1024}};
    EXPECT_EQ(ChooseAdapter(monitors, {1920, 0, 3200, 1024}).adapter, 1u);
    EXPECT_EQ(ChooseAdapter(monitors, {1800, 0, 3000, 1000}).adapter, 0u);
    EXPECT_EQ(ChooseAdapter(monitors, {3000, 0, 3300, 100}).adapter, 1u);
    EXPECT_EQ(ChooseAdapter(monitors, {5000, 0, 5100, 100}).adapter, 0u);
    const auto m = log.Messages();
    // Monitors after the chosen one are not looked at.
    EXPECT_EQ(m[0], "DXGraphics Init, Adapter 0: 0,0 - 1920,1080");
    EXPECT_EQ(m[1], "DXGraphics Init, Adapter 1: 1920,0 - 3200,1024");
    EXPECT_EQ(m[2], "DXGraphics Init, Adapter 0: 0,0 - 1920,1080");
    EXPECT_EQ(m.size(), 2u + 1u + 2u + 3u);
}

TEST(AdapterChoice, WantedSizeIsHalfTheLongerSide)
{
    const std::vector<Rect> monitors = {{0, 0, 1920, 1080}};
    EXPECT_EQ(ChooseAdapter(monitors, {0, 0, 1920, 1080}).wantedSize, 960);
    EXPECT_EQ(ChooseAdapter(monitors, {0, 0, 1281, 1024}).wantedSize, 640);
    EXPECT_EQ(ChooseAdapter(monitors, {0, 0, 152, 113}).wantedSize, 76);
}

TEST(AdapterChoice, OnlyTheSlowRasterisersStandForTheReferenceDevice)
{
    for (const char* slow : {"softpipe", "Gallium 0.4 on softpipe", "Software Rasterizer", "Mesa swrast"})
        EXPECT_TRUE(IsReferenceRasteriser(slow)) << slow;
    for (const char* fit : {"llvmpipe (LLVM 15.0.6, 256 bits)", "Gallium 0.4 on llvmpipe (LLVM 3.4, 128 bits)",
                            "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)",
                            "virgl", "SVGA3D; build: RELEASE;  LLVM;", ""})
        EXPECT_FALSE(IsReferenceRasteriser(fit)) << fit;
    // Anisotropic filtering stays off on every processor-drawn renderer.
    EXPECT_TRUE(IsCpuRasteriser("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(IsCpuRasteriser("softpipe"));
    EXPECT_FALSE(IsCpuRasteriser("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
}

TEST(FailedInit, NothingIsMadeAndCloseOnlyCleansUp)
{
    ScopedTestLog log;
    CSaverSettings settings;
    {
        DXGraphics dx(settings);
        dx.Init(nullptr, {0, 0, 800, 600});
        EXPECT_FALSE(dx.IsCreated());
        dx.RenderFrame();   // harmless
        EXPECT_FALSE(dx.QueueTexture(std::make_unique<TexturePixels>()));
        dx.CloseDX();
        dx.CloseDX();
        EXPECT_FALSE(dx.IsCreated());
    }
    auto m = log.Messages();
    ASSERT_EQ(m.size(), 9u);
    EXPECT_EQ(m[0].rfind("Starting Direct3D create routines: ", 0), 0u);
    EXPECT_EQ(m[1], "Entering DXGraphics::cleanup");
    EXPECT_EQ(m[2], "Leaving DXGraphics::cleanup");
    EXPECT_EQ(m[3].rfind("CloseDX exit: ", 0), 0u);
    EXPECT_EQ(m[4], "Entering DXGraphics::cleanup");
    EXPECT_EQ(m[6].rfind("CloseDX exit: ", 0), 0u);
    EXPECT_EQ(m[7], "Entering DXGraphics::cleanup");   // destruction cleans up once more
    EXPECT_EQ(m[8], "Leaving DXGraphics::cleanup");
}

} // namespace
