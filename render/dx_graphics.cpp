#include "render/dx_graphics.h"

#include "app/log.h"
#include "app/saver_settings.h"
#include "imaging/fit/image_loader.h"
#include "imaging/own/bitmap_ex.h"
#include "render/adapter_choice.h"
#include "render/builtin_textures.h"
#include "render/mipmaps.h"
#include "res/tiles/builtin_tiles.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace {

unsigned Hex(const void* p)
{
    return unsigned(reinterpret_cast<std::uintptr_t>(p));
}

std::uint32_t MultimediaTime()
{
    using namespace std::chrono;
    return std::uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

double MsSince(std::chrono::steady_clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t).count();
}

std::vector<Rect> ScreenRects()
{
    std::vector<Rect> out;
    for (QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        out.push_back({g.left(), g.top(), g.left() + g.width(), g.top() + g.height()});
    }
    return out;
}

} // namespace

DXGraphics::DXGraphics(CSaverSettings& settings)
    : settings_(settings), motion_(CubeMotion::FromSettings(settings)), clock_(MultimediaTime)
{
    CSaverSettings* record = &settings_;
    loader_ = [record](CBitmapEx& target, int wantedSize) {
        return LoadNewImage(target, wantedSize, *record, record->codecPath);
    };
    photoLoader_ = [record](CBitmapEx& target, int wantedSize, const std::string& file, std::string& loaded) {
        if (file.empty())
            return LoadNewImage(target, wantedSize, *record, record->codecPath, &loaded);
        loaded = file;
        return LoadImageFile(target, wantedSize, file, *record, record->codecPath);
    };
}

DXGraphics::~DXGraphics()
{
    if (loaderThread_.Started())
        CloseDX();
    else
        cleanup();
}

Mat4 DXGraphics::Projection(int width, int height)
{
    return PerspectiveFovLH(0.7853982f, float(width) / float(height), 1.0f, 100.0f);
}

std::uint32_t DXGraphics::ClearColour(int backColor)
{
    const auto c = std::uint32_t(backColor);
    return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

bool DXGraphics::Init(QWindow* window, const Rect& windowRect)
{
    Log("Starting Direct3D create routines: %x", Hex(this));
    // One device per object: a second call changes nothing.
    if (initCalled_)
        return IsCreated();
    initCalled_ = true;
    if (windowRect.Width() > 0 && windowRect.Height() > 0) {
        width_ = windowRect.Width();
        height_ = windowRect.Height();
    } else if (window && window->width() > 0 && window->height() > 0) {
        width_ = window->width();
        height_ = window->height();
    }
    if (!CreateDX(window, windowRect))
        return false;
    BuildCube();
    loadTexture();
    device_.SetProjection(Projection(width_, height_));

    shared_ = std::make_shared<LoaderShared>();
    shared_->owner = reinterpret_cast<std::uintptr_t>(this);
    shared_->wantedSize = wantedSize_;
    CSaverSettings* settings = &settings_;
    shared_->delaySeconds = [settings] { return settings->Delay; };
    shared_->loadImage = loader_;
    shared_->loadPhoto = photoLoader_;
    const int maxSize = device_.MaxTextureSize();
    // The smaller levels are made here, on the loader thread, so that the frame
    // that takes the photo over only copies them.
    const bool mipmaps = device_.TextureMinify() == Minify::Trilinear;
    shared_->makeTexture = [maxSize, mipmaps](const DeviceBitmap& b, std::uint32_t key) {
        auto texture = TextureFromBitmap(b, key, maxSize);
        if (texture && mipmaps)
            texture->mipmaps = MipmapsOf(*texture);
        return texture;
    };
    shared_->FillDefaults();
    loaderThread_.Start(shared_);

    startTime_ = clock_();
    motion_.position = {0.0f, 0.0f, (motion_.zMin + motion_.zMax) * 0.5f};
    motion_.uprightPair = 0;
    Log("Done with Direct3D setup: %x, thread=%x", Hex(this), Hex(&loaderThread_));
    return true;
}

bool DXGraphics::CreateDX(QWindow* window, const Rect& windowRect)
{
    if (!device_.CreateContext(window))
        return false;
    const std::vector<Rect> monitors = monitors_ ? *monitors_ : ScreenRects();
    const AdapterChoice choice = ChooseAdapter(monitors, windowRect);
    adapter_ = choice.adapter;
    wantedSize_ = choice.wantedSize;
    Log("DXGraphics Init, Using Adapter %d", int(adapter_));

    const bool allowSoftware = settings_.AllowSoftwareAcceleration != 0;
    std::uint32_t r = device_.CheckDeviceType(DeviceType::Hal);
    Log("getGoodFormat(windowed) - device=D3DDEVTYPE_HAL - check of currentFormat returns: %s", DeviceResultName(r));
    if (r != DEVICE_OK && allowSoftware) {
        r = device_.CheckDeviceType(DeviceType::Ref);
        Log("getGoodFormat(windowed) - device=D3DDEVTYPE_REF - check of currentFormat returns: %s",
            DeviceResultName(r));
    }
    if (r != DEVICE_OK) {
        Log("Couldn't find a good windowed DirectX format, giving up");
        device_.Release();
        return false;
    }
    Log("DXGraphics Init, Renderer: %s", device_.RendererName().c_str());

    const bool textureAlpha = settings_.KeepAspectRatio && settings_.CubeTransp;
    r = device_.CreateDevice(DeviceType::Hal, textureAlpha);
    Log("CreateDevice(HAL) returned error code: %s", DeviceResultName(r));
    if (r != DEVICE_OK && allowSoftware) {
        r = device_.CreateDevice(DeviceType::Ref, textureAlpha);
        Log("CreateDevice(REF) returned %x", r);
    }
    if (r != DEVICE_OK) {
        Log("CreateDX() failed - windowed CreateDevice() mode failed using current screen mode");
        device_.Release();
        return false;
    }
    return true;
}

void DXGraphics::BuildCube()
{
    vertices_ = BuildCubeVertices(settings_.CubeFloat != 0);
    device_.CreateVertexBuffer(vertices_);
}

void DXGraphics::loadTexture()
{
    Log("Loading small textures");
    for (int f = 0; f < kFaceCount; ++f) {
        const auto pixels = BuiltInTilePixels(kFirstTileId + f);
        faceTextures_[f] = pixels ? device_.CreateTexture(*pixels) : 0;
        if (f == 0 && !faceTextures_[f])
            Log("Attempt to create texture from resource in loadTexture() returned error: %s",
                DeviceResultName(DEVICEERR_INVALIDCALL));
    }
    Log("Done loading textures");
}

void DXGraphics::RenderFrame()
{
    if (!IsCreated() || !device_.MakeCurrent())
        return;
    const auto frameStart = std::chrono::steady_clock::now();
    timing_.intervalMs = timing_.frames ? std::chrono::duration<double, std::milli>(frameStart - lastFrameStart_).count()
                                        : 0.0;
    lastFrameStart_ = frameStart;

    // A paused cube stands at the moment of the pause.
    const float t = CubeMotion::Seconds(paused_ ? pausedAt_ : clock_(), startTime_);
    device_.Clear(ClearColour(settings_.BackColor));
    device_.SetWorld(motion_.World(t));
    const Mat4 worldViewProj = device_.WorldViewProjection();

    // Faces turned away show through the gaps and the transparent parts.
    if (settings_.CubeTransp || settings_.CubeFloat) {
        device_.SetCull(Cull::Clockwise);
        for (int f = 0; f < kFaceCount; ++f) {
            device_.SetTexture(faceTextures_[f]);
            device_.DrawFace(f);
        }
    }
    device_.SetCull(Cull::CounterClockwise);
    bool hitEdge = false;
    for (int f = 0; f < kFaceCount; ++f) {
        device_.SetTexture(faceTextures_[f]);
        device_.DrawFace(f);
        const std::uint32_t clip = FaceClipFlags(vertices_, f, worldViewProj);
        hitEdge |= paused_ ? (clip & (CLIP_LEFT | CLIP_RIGHT | CLIP_TOP | CLIP_BOTTOM)) != 0
                           : motion_.ReverseAtEdges(clip);
    }
    if (!paused_) {
        motion_.BounceDepth();
        motion_.Move();
    }
    if (motion_.KeepPhotosUpright(hitEdge, vertices_, facePhoto_, worldViewProj))
        device_.UpdateVertexBuffer(vertices_);

    if (capture_) {
        int w = 0, h = 0;
        *capture_ = device_.ReadBackBuffer(w, h);
        if (captureWidth_)
            *captureWidth_ = w;
        if (captureHeight_)
            *captureHeight_ = h;
        capture_ = nullptr;
    }
    device_.Present();

    const auto handoverStart = std::chrono::steady_clock::now();
    timing_.handoverMs = 0.0;
    HandOverTexture();
    timing_.handoverMs = MsSince(handoverStart);
    timing_.renderMs = MsSince(frameStart);
    ++timing_.frames;
    if (observer_)
        observer_(timing_);
}

void DXGraphics::HandOverTexture()
{
    PendingPhoto next;
    if (shared_) {
        std::lock_guard<std::mutex> g(shared_->queueLock);
        auto& queue = shared_->pendingTextures;
        // While paused, the photos that came on their own wait for the resume.
        auto it = paused_ ? std::find_if(queue.begin(), queue.end(), [](const PendingPhoto& p) { return p.requested; })
                          : queue.begin();
        if (it != queue.end()) {
            next = std::move(*it);
            queue.erase(it);
        }
    }
    if (!next.pixels)
        return;
    // The upload happens outside queueLock, so the loader never waits on it.
    const unsigned texture = device_.CreateTexture(*next.pixels);
    if (!texture) {
        Log("DXGraphics::RenderFrame: texture upload of %dx%d failed", next.pixels->width, next.pixels->height);
        return;
    }
    device_.DeleteTexture(faceTextures_[nextFace_]);
    faceTextures_[nextFace_] = texture;
    facePhoto_[nextFace_] = true;
    nextFace_ = nextFace_ == kFaceCount - 1 ? 0 : nextFace_ + 1;
    history_.Shown(next.file, next.again);
}

PhotoAsk DXGraphics::ShowNextPhoto()
{
    if (!shared_ || !shared_->CanRequest())
        return PhotoAsk::Busy;
    const std::optional<std::string> later = history_.StepForward();
    shared_->Request({later.value_or(std::string())});
    return PhotoAsk::Asked;
}

PhotoAsk DXGraphics::ShowPreviousPhoto()
{
    if (!shared_ || !shared_->CanRequest())
        return PhotoAsk::Busy;
    const std::optional<std::string> earlier = history_.StepBack();
    if (!earlier)
        return PhotoAsk::NoneEarlier;
    shared_->Request({*earlier});
    return PhotoAsk::Asked;
}

void DXGraphics::SetPaused(bool paused)
{
    if (paused == paused_)
        return;
    const std::uint32_t now = clock_();
    if (paused)
        pausedAt_ = now;
    else
        startTime_ += now - pausedAt_;   // the spin goes on from the angle it stopped at
    paused_ = paused;
    if (shared_)
        shared_->SetPaused(paused);
}

std::size_t DXGraphics::PendingCount() const
{
    return shared_ ? shared_->PendingCount() : 0;
}

bool DXGraphics::QueueTexture(std::unique_ptr<TexturePixels> pixels)
{
    if (!shared_ || !pixels)
        return false;
    std::lock_guard<std::mutex> g(shared_->queueLock);
    shared_->pendingTextures.push_back({std::move(pixels), {}, false, false});
    return true;
}

void DXGraphics::CaptureNextFrame(std::vector<std::uint32_t>* target, int* width, int* height)
{
    capture_ = target;
    captureWidth_ = width;
    captureHeight_ = height;
}

void DXGraphics::CloseDX()
{
    if (loaderThread_.Started()) {
        Log("Setting kill event for texture loading thread: %x", Hex(this));
        shared_->killEvent.Set();
        if (loaderThread_.WaitForEnd(stopTimeout_))
            Log("Texture loading thread shut down properly: %x", Hex(this));
        else
            Log("Trouble killing texture loading thread: %x", Hex(this));
    }
    cleanup();
    Log("CloseDX exit: %x", Hex(this));
}

void DXGraphics::cleanup()
{
    Log("Entering DXGraphics::cleanup");
    if (shared_) {
        // A thread let go after a timed-out stop may still hold the block; it
        // finds the queue empty and its results are dropped.
        std::lock_guard<std::mutex> g(shared_->queueLock);
        shared_->pendingTextures.clear();
    }
    shared_.reset();
    // Without a current context the textures go with the context itself.
    const bool current = device_.HasContext() && device_.MakeCurrent();
    for (unsigned& texture : faceTextures_) {
        if (current)
            device_.DeleteTexture(texture);
        texture = 0;
    }
    if (current)
        device_.ReleaseVertexBuffer();
    device_.Release();
    Log("Leaving DXGraphics::cleanup");
}
