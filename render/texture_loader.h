#pragma once
// The texture loader thread: fetches a photo through the image loader, turns it
// into texture pixels and queues them for the window thread. Everything the
// thread touches lives in one shared block, so a thread that outlives a timed-out
// stop keeps its own copy alive and never reaches the renderer or its device.
#include "render/texture_pixels.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class CBitmapEx;

enum class WaitResult { Signalled, TimedOut, Failed };

// A manual-reset event: once set it stays set, and every wait returns at once.
class KillEvent {
public:
    void Set();
    bool IsSet() const;
    WaitResult Wait(std::chrono::milliseconds timeout);

private:
    mutable std::mutex lock_;
    std::condition_variable cv_;
    bool set_ = false;
};

// Fills the empty bitmap with the next photo; 0 or -1.
using ImageLoaderFn = std::function<int(CBitmapEx& target, int wantedSize)>;
using TextureMakerFn = std::function<std::unique_ptr<TexturePixels>(const DeviceBitmap&, std::uint32_t key)>;

// Most textures that wait for the window thread.
constexpr std::size_t kMaxPendingTextures = 4;
// Passes fetched back to back before the Delay waits begin.
constexpr int kFastPasses = 6;

struct LoaderShared {
    std::uintptr_t owner = 0;          // the renderer's address, for log lines
    int wantedSize = 1024;

    std::mutex queueLock;              // guards pendingTextures only
    std::deque<std::unique_ptr<TexturePixels>> pendingTextures;
    KillEvent killEvent;
    // Set when a stop gave up waiting: whatever the thread still makes is dropped.
    std::atomic<bool> abandoned{false};

    std::function<int()> delaySeconds;         // read afresh at every slow wait
    ImageLoaderFn loadImage;
    TextureMakerFn makeTexture;
    // The kill-event wait with a time-out in milliseconds (tests put a fake clock here).
    std::function<WaitResult(unsigned)> wait;
    std::function<void()> lowerPriority;

    // Defaults for the hooks that are not set: the real event, the nice value.
    void FillDefaults();
    std::size_t PendingCount();
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
