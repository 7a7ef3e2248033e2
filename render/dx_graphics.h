#pragma once
// DXGraphics: the renderer of one saver window. It creates the device on the
// window, builds the cube, shows the built-in tiles, runs the texture loader
// thread, draws one frame per call of RenderFrame, and releases everything in
// CloseDX. Keys of a photo frame may ask it for the next or an earlier photo
// and pause its motion and photo changes.
#include "app/rect.h"
#include "render/cube_geometry.h"
#include "render/cube_motion.h"
#include "render/gl_device.h"
#include "render/photo_history.h"
#include "render/texture_loader.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CSaverSettings;
class QWindow;

// The answer to a key that asks for a photo.
enum class PhotoAsk {
    Asked,       // the loader fetches it now; the next face to change takes it
    NoneEarlier, // no photo before the current one is remembered
    Busy,        // kMaxRequests photos asked for are not yet started on, or no show runs
};

// What one frame cost, for the speed checks of the show.
struct FrameTiming {
    std::uint64_t frames = 0;   // frames drawn so far
    double intervalMs = 0.0;    // from the start of the previous frame (0 on the first)
    double renderMs = 0.0;      // this frame's work, drawing, present and hand-over
    double handoverMs = 0.0;    // the texture hand-over alone (0 when none was waiting)
};

class DXGraphics {
public:
    explicit DXGraphics(CSaverSettings& settings);
    ~DXGraphics();
    DXGraphics(const DXGraphics&) = delete;
    DXGraphics& operator=(const DXGraphics&) = delete;

    // Device, projection, cube, built-in textures, loader thread. `windowRect` is
    // the window's rectangle in virtual-screen coordinates. Success is IsCreated().
    bool Init(QWindow* window, const Rect& windowRect);
    bool IsCreated() const { return device_.HasContext(); }
    // Draws and presents one frame (makes the context current itself).
    void RenderFrame();
    // Stops the loader thread (bounded) and releases everything; safe to repeat.
    void CloseDX();

    // The next photo now: after steps back the one that followed, else a new
    // one from the list. The automatic changes go on Delay seconds later.
    PhotoAsk ShowNextPhoto();
    // The photo before the current one again (of the last PhotoHistory::kCapacity).
    PhotoAsk ShowPreviousPhoto();
    // Stops (true) or resumes the cube's spin and drift and the automatic photo
    // changes; photos asked for still arrive. Resuming goes on where it stopped.
    void SetPaused(bool paused);
    bool Paused() const { return paused_; }
    const PhotoHistory& History() const { return history_; }

    // Hooks, set before Init.
    using Clock = std::function<std::uint32_t()>;   // milliseconds, wrapping
    void SetClock(Clock clock) { clock_ = std::move(clock); }
    // The photo source: the image loader by default. SetImageLoader gives one
    // that cannot load a file again, so nothing is remembered for going back.
    void SetImageLoader(ImageLoaderFn loader)
    {
        loader_ = std::move(loader);
        photoLoader_ = nullptr;
    }
    void SetPhotoLoader(PhotoLoaderFn loader) { photoLoader_ = std::move(loader); }
    void SetStopTimeout(std::chrono::milliseconds timeout) { stopTimeout_ = timeout; }
    // Monitors in virtual-screen coordinates; the screens of the display by default.
    void SetMonitors(std::vector<Rect> monitors) { monitors_ = std::move(monitors); }
    void SetFrameObserver(std::function<void(const FrameTiming&)> observer) { observer_ = std::move(observer); }

    const FrameTiming& LastFrame() const { return timing_; }
    // Reads the next frame back before it is presented (ARGB, top row first).
    void CaptureNextFrame(std::vector<std::uint32_t>* target, int* width, int* height);

    // State, for the window and for checks.
    CubeMotion& Motion() { return motion_; }
    const CubeVertices& Vertices() const { return vertices_; }
    unsigned Adapter() const { return adapter_; }
    int WantedSize() const { return wantedSize_; }
    int NextFace() const { return nextFace_; }
    bool FacePhoto(int face) const { return facePhoto_[face]; }
    unsigned FaceTexture(int face) const { return faceTextures_[face]; }
    std::size_t PendingCount() const;
    // Queues texture pixels as the loader thread does (false when not created).
    bool QueueTexture(std::unique_ptr<TexturePixels> pixels);
    GlDevice& Device() { return device_; }

    // The projection of a window of width x height.
    static Mat4 Projection(int width, int height);
    // The opaque clear colour of a Windows colour value 0x00BBGGRR.
    static std::uint32_t ClearColour(int backColor);

private:
    bool CreateDX(QWindow* window, const Rect& windowRect);
    void BuildCube();
    void loadTexture();
    void HandOverTexture();
    void cleanup();

    CSaverSettings& settings_;
    GlDevice device_;
    LoaderThread loaderThread_;
    std::shared_ptr<LoaderShared> shared_;   // pendingTextures, queueLock, killEvent
    int width_ = 320;
    int height_ = 240;
    unsigned adapter_ = 0;
    int wantedSize_ = 1024;
    std::array<unsigned, kFaceCount> faceTextures_{};
    std::array<bool, kFaceCount> facePhoto_{};
    CubeMotion motion_;
    CubeVertices vertices_{};
    std::uint32_t startTime_ = 0;
    int nextFace_ = 0;
    bool initCalled_ = false;
    bool paused_ = false;
    std::uint32_t pausedAt_ = 0;
    PhotoHistory history_;

    Clock clock_;
    ImageLoaderFn loader_;
    PhotoLoaderFn photoLoader_;
    std::chrono::milliseconds stopTimeout_{30000};
    std::optional<std::vector<Rect>> monitors_;
    std::function<void(const FrameTiming&)> observer_;
    FrameTiming timing_;
    std::chrono::steady_clock::time_point lastFrameStart_{};
    std::vector<std::uint32_t>* capture_ = nullptr;
    int* captureWidth_ = nullptr;
    int* captureHeight_ = nullptr;
};
