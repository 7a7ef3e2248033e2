#pragma once
// The texture loader thread: fetches a photo through the image loader, turns it
// into texture pixels and queues them for the window thread. Everything the
// thread touches lives in one shared block, so a thread that outlives a timed-out
// stop keeps its own copy alive and never reaches the renderer or its device.
// Keys may ask for a photo out of turn (served before the next Delay is waited
// out) and may pause the photo changes.
#include "render/texture_pixels.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class CBitmapEx;

// Woken: a request or a pause changed, the thread is still wanted.
enum class WaitResult { Signalled, TimedOut, Failed, Woken };

// A wait time-out that never runs out.
constexpr unsigned kWaitForever = 0xFFFFFFFFu;

// A manual-reset event: once set it stays set, and every wait returns at once.
// Wake ends one wait early without setting it (auto-reset).
class KillEvent {
public:
    void Set();
    bool IsSet() const;
    void Wake();
    WaitResult Wait(std::chrono::milliseconds timeout);
    WaitResult WaitForever();

private:
    mutable std::mutex lock_;
    std::condition_variable cv_;
    bool set_ = false;
    bool woken_ = false;
};

// Fills the empty bitmap with the next photo; 0 or -1.
using ImageLoaderFn = std::function<int(CBitmapEx& target, int wantedSize)>;
// Fills the empty bitmap with the next photo when `file` is empty, else with
// that file again; `loaded` receives the name of the file it loaded. 0 or -1.
using PhotoLoaderFn =
    std::function<int(CBitmapEx& target, int wantedSize, const std::string& file, std::string& loaded)>;
using TextureMakerFn = std::function<std::unique_ptr<TexturePixels>(const DeviceBitmap&, std::uint32_t key)>;

// Most textures that wait for the window thread. Photos asked for by keys do
// not count, so the queue holds at most kMaxPendingTextures + kMaxRequests.
constexpr std::size_t kMaxPendingTextures = 4;
// Most photos asked for by keys that the thread has not started on yet.
constexpr std::size_t kMaxRequests = 4;
// Passes fetched back to back before the Delay waits begin.
constexpr int kFastPasses = 6;

// A photo's texture waiting for the window thread, with where it came from.
struct PendingPhoto {
    std::unique_ptr<TexturePixels> pixels;
    std::string file;          // empty when the loader did not tell
    bool requested = false;    // asked for by a key: taken even while paused
    bool again = false;        // a photo shown before, shown again
};

// A photo asked for by a key: the next one of the list (no file) or a file again.
struct PhotoRequest {
    std::string file;
};

struct LoaderShared {
    std::uintptr_t owner = 0;          // the renderer's address, for log lines
    int wantedSize = 1024;

    std::mutex queueLock;              // guards pendingTextures and requests only
    std::deque<PendingPhoto> pendingTextures;
    std::deque<PhotoRequest> requests;
    KillEvent killEvent;
    // While set, the thread loads only what is asked for.
    std::atomic<bool> paused{false};
    // Set when a stop gave up waiting: whatever the thread still makes is dropped.
    std::atomic<bool> abandoned{false};

    std::function<int()> delaySeconds;         // read afresh at every slow wait
    ImageLoaderFn loadImage;
    PhotoLoaderFn loadPhoto;                   // used instead of loadImage when set
    TextureMakerFn makeTexture;
    // The kill-event wait with a time-out in milliseconds, or kWaitForever (tests
    // put a fake clock here).
    std::function<WaitResult(unsigned)> wait;
    std::function<void()> lowerPriority;

    // Defaults for the hooks that are not set: the real event, the nice value.
    void FillDefaults();
    std::size_t PendingCount();
    // Whether another request can be taken now.
    bool CanRequest();
    // Queues a request and wakes the thread; false when kMaxRequests wait already.
    bool Request(PhotoRequest request);
    std::optional<PhotoRequest> TakeRequest();
    // Pauses or resumes the photo changes; the thread's wait starts afresh.
    void SetPaused(bool paused);
};

// The thread's body; returns the exit code 0.
int TextureLoaderThread(LoaderShared& shared);

// Raises this thread's nice value, so that loading does not compete with drawing.
void LowerCurrentThreadPriority();

// The running thread and its end handshake.
class LoaderThread {
public:
    LoaderThread() = default;
    LoaderThread(const LoaderThread&) = delete;
    LoaderThread& operator=(const LoaderThread&) = delete;
    ~LoaderThread();

    void Start(std::shared_ptr<LoaderShared> shared);
    bool Started() const { return thread_.joinable(); }
    // Waits at most `timeout` for the thread to end. True when it ended; on a
    // time-out the thread is let go with its shared block marked abandoned.
    bool WaitForEnd(std::chrono::milliseconds timeout);

private:
    struct End {
        std::mutex lock;
        std::condition_variable cv;
        bool done = false;
    };
    std::shared_ptr<LoaderShared> shared_;
    std::shared_ptr<End> end_;
    std::thread thread_;
};
