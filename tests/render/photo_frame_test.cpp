// The photo-frame keys without a display: the history of photos shown, and the
// loader thread's requests and pause on fakes.
#include "imaging/bitmap_ex.h"
#include "render/photo_history.h"
#include "render/texture_loader.h"

#include <gtest/gtest.h>

#include <algorithm>

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

std::unique_ptr<TexturePixels> FakeTexture(const DeviceBitmap& b, std::uint32_t)
{
    auto t = std::make_unique<TexturePixels>();
    t->width = b.width;
    t->height = b.height;
    t->rgba.assign(std::size_t(b.width) * std::size_t(b.height) * 4, 0x7F);
    return t;
}

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
            auto bmp = std::make_unique<DeviceBitmap>();
            bmp->width = bmp->height = size;
            bmp->pixels.assign(std::size_t(size) * std::size_t(size), 0xFF336699u);
            t.bitmap = std::move(bmp);
            return 0;
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

} // namespace
