#include "render/texture_loader.h"

#include "app/log.h"
#include "imaging/own/bitmap_ex.h"

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

void KillEvent::Set()
{
    {
        std::lock_guard<std::mutex> g(lock_);
        set_ = true;
    }
    cv_.notify_all();
}

bool KillEvent::IsSet() const
{
    std::lock_guard<std::mutex> g(lock_);
    return set_;
}

WaitResult KillEvent::Wait(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> g(lock_);
    return cv_.wait_for(g, timeout, [this] { return set_; }) ? WaitResult::Signalled : WaitResult::TimedOut;
}

void LoaderShared::FillDefaults()
{
    if (!wait)
        wait = [this](unsigned ms) {
            // A set event answers before anything else is read.
            if (killEvent.IsSet())
                return WaitResult::Signalled;
            return killEvent.Wait(std::chrono::milliseconds(ms));
        };
    if (!lowerPriority)
        lowerPriority = LowerCurrentThreadPriority;
    if (!makeTexture)
        makeTexture = [](const DeviceBitmap& b, std::uint32_t key) { return TextureFromBitmap(b, key); };
    if (!delaySeconds)
        delaySeconds = [] { return 15; };
}

std::size_t LoaderShared::PendingCount()
{
    std::lock_guard<std::mutex> g(queueLock);
    return pendingTextures.size();
}

void LowerCurrentThreadPriority()
{
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, tid);
    if (errno == 0)
        setpriority(PRIO_PROCESS, tid, std::min(nice + 4, 19));
}

int TextureLoaderThread(LoaderShared& s)
{
    const unsigned self = unsigned(s.owner);
    Log("Entering texture loader thread: %x", self);
    for (int n = 0;; ++n) {
        if (n == kFastPasses)
            s.lowerPriority();
        const unsigned timeout = n < kFastPasses ? 1u : unsigned(std::max(s.delaySeconds(), 1)) * 1000u;
        const WaitResult r = s.wait(timeout);
        if (r == WaitResult::Signalled) {
            Log("Leaving texture loader thread, saw kill event: %x", self);
            return 0;
        }
        if (r == WaitResult::Failed) {
            Log("Leaving texture loader thread, wait abandoned or failed: %x", self);
            return 0;
        }
        Log("Before loadimage, image=%d: %x", n, self);
        bool full;
        {
            std::lock_guard<std::mutex> g(s.queueLock);
            full = s.pendingTextures.size() >= kMaxPendingTextures;
        }
        if (!full) {
            CBitmapEx image;
            if (s.loadImage && s.loadImage(image, s.wantedSize) == 0 && image.bitmap) {
                Log("Creating Texture: %x", self);
                auto texture = s.makeTexture(*image.bitmap, kColourKey);
                std::lock_guard<std::mutex> g(s.queueLock);
                if (texture && !s.abandoned) {
                    Log("Create texture succeeded");
                    s.pendingTextures.push_back(std::move(texture));
                }
            }
        }
        Log("After loadimage, image=%d: %x", n, self);
    }
}

LoaderThread::~LoaderThread()
{
    // Never block here: a thread still running is let go with its shared block.
    if (thread_.joinable()) {
        if (shared_)
            shared_->abandoned = true;
        thread_.detach();
    }
}

void LoaderThread::Start(std::shared_ptr<LoaderShared> shared)
{
    shared_ = std::move(shared);
    end_ = std::make_shared<End>();
    thread_ = std::thread([shared = shared_, end = end_] {
        TextureLoaderThread(*shared);
        {
            std::lock_guard<std::mutex> g(end->lock);
            end->done = true;
        }
        end->cv.notify_all();
    });
}

bool LoaderThread::WaitForEnd(std::chrono::milliseconds timeout)
{
    if (!thread_.joinable())
        return true;
    bool done;
    {
        std::unique_lock<std::mutex> g(end_->lock);
        done = end_->cv.wait_for(g, timeout, [this] { return end_->done; });
    }
    if (done) {
        thread_.join();
    } else {
        shared_->abandoned = true;
        thread_.detach();
    }
    shared_.reset();
    return done;
}
