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

void KillEvent::Wake()
{
    {
        std::lock_guard<std::mutex> g(lock_);
        woken_ = true;
    }
    cv_.notify_all();
}

WaitResult KillEvent::Wait(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> g(lock_);
    if (!cv_.wait_for(g, timeout, [this] { return set_ || woken_; }))
        return WaitResult::TimedOut;
    if (set_)
        return WaitResult::Signalled;
    woken_ = false;
    return WaitResult::Woken;
}

WaitResult KillEvent::WaitForever()
{
    std::unique_lock<std::mutex> g(lock_);
    cv_.wait(g, [this] { return set_ || woken_; });
    if (set_)
        return WaitResult::Signalled;
    woken_ = false;
    return WaitResult::Woken;
}

void LoaderShared::FillDefaults()
{
    if (!wait)
        wait = [this](unsigned ms) {
            // A set event answers before anything else is read.
            if (killEvent.IsSet())
                return WaitResult::Signalled;
            if (ms == kWaitForever)
                return killEvent.WaitForever();
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

bool LoaderShared::CanRequest()
{
    std::lock_guard<std::mutex> g(queueLock);
    return requests.size() < kMaxRequests;
}

bool LoaderShared::Request(PhotoRequest request)
{
    {
        std::lock_guard<std::mutex> g(queueLock);
        if (requests.size() >= kMaxRequests)
            return false;
        requests.push_back(std::move(request));
    }
    killEvent.Wake();
    return true;
}

std::optional<PhotoRequest> LoaderShared::TakeRequest()
{
    std::lock_guard<std::mutex> g(queueLock);
    if (requests.empty())
        return std::nullopt;
    PhotoRequest r = std::move(requests.front());
    requests.pop_front();
    return r;
}

void LoaderShared::SetPaused(bool value)
{
    paused = value;
    killEvent.Wake();
}

void LowerCurrentThreadPriority()
{
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, tid);
    if (errno == 0)
        setpriority(PRIO_PROCESS, tid, std::min(nice + 4, 19));
}

namespace {

int LoadPhoto(LoaderShared& s, CBitmapEx& image, const std::string& file, std::string& loaded)
{
    if (s.loadPhoto)
        return s.loadPhoto(image, s.wantedSize, file, loaded);
    if (s.loadImage && file.empty())
        return s.loadImage(image, s.wantedSize);
    return -1;
}

} // namespace

int TextureLoaderThread(LoaderShared& s)
{
    const unsigned self = unsigned(s.owner);
    Log("Entering texture loader thread: %x", self);
    for (int n = 0;; ++n) {
        if (n == kFastPasses)
            s.lowerPriority();
        // A photo asked for is fetched at once; a pause waits for a request or
        // its end, and a wake without a request starts the wait afresh.
        std::optional<PhotoRequest> request;
        for (;;) {
            unsigned timeout = n < kFastPasses ? 1u : unsigned(std::max(s.delaySeconds(), 1)) * 1000u;
            if (s.paused)
                timeout = kWaitForever;
            {
                std::lock_guard<std::mutex> g(s.queueLock);
                if (!s.requests.empty())
                    timeout = 0;
            }
            const WaitResult r = s.wait(timeout);
            if (r == WaitResult::Signalled) {
                Log("Leaving texture loader thread, saw kill event: %x", self);
                return 0;
            }
            if (r == WaitResult::Failed) {
                Log("Leaving texture loader thread, wait abandoned or failed: %x", self);
                return 0;
            }
            request = s.TakeRequest();
            if (request || (r == WaitResult::TimedOut && !s.paused))
                break;
        }
        Log("Before loadimage, image=%d: %x", n, self);
        bool full;
        {
            std::lock_guard<std::mutex> g(s.queueLock);
            full = !request && s.pendingTextures.size() >= kMaxPendingTextures;
        }
        if (!full) {
            CBitmapEx image;
            const std::string file = request ? request->file : std::string();
            std::string loaded;
            if (LoadPhoto(s, image, file, loaded) == 0 && image.bitmap) {
                Log("Creating Texture: %x", self);
                auto texture = s.makeTexture(*image.bitmap, kColourKey);
                std::lock_guard<std::mutex> g(s.queueLock);
                if (texture && !s.abandoned) {
                    Log("Create texture succeeded");
                    s.pendingTextures.push_back(
                        {std::move(texture), std::move(loaded), request.has_value(), !file.empty()});
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
