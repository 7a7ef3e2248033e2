// Real frames in an X display: clear colour, tiles on the faces that face the
// eye, photos, the colour key, floating faces, the texture hand-over and the
// loader thread's stop.
#include "app/saver_settings.h"
#include "app/test_log.h"
#include "imaging/own/bitmap_ex.h"
#include "render/adapter_choice.h"
#include "render/dx_graphics.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSurfaceFormat>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <future>
#include <thread>

namespace {

// The application object lives in main: Qt cannot take it down among the
// exit handlers, where a function-local static would go.
QGuiApplication& App() { return *static_cast<QGuiApplication*>(QCoreApplication::instance()); }

struct Rgb {
    int r, g, b;
};
const Rgb kLavender{158, 154, 222}, kMint{156, 213, 183}, kOlive{153, 171, 112}, kSalmon{242, 148, 151},
    kSand{232, 200, 123};

constexpr int kWidth = 320, kHeight = 240;

std::unique_ptr<TexturePixels> Solid(std::uint32_t argb, int size = 64)
{
    auto t = std::make_unique<TexturePixels>();
    t->width = t->height = size;
    for (int i = 0; i < size * size; ++i)
        t->rgba.insert(t->rgba.end(), {std::uint8_t(argb >> 16), std::uint8_t(argb >> 8), std::uint8_t(argb),
                                       std::uint8_t(argb >> 24)});
    return t;
}

class Show {
    struct AppFirst {
        AppFirst() { App(); }
    } appFirst_;

public:
    CSaverSettings settings;
    QWindow window;
    std::unique_ptr<DXGraphics> dx;
    std::uint32_t now = 5000;

    Show()
    {
        settings.AllowSoftwareAcceleration = 1;
        settings.SpinX = settings.SpinY = settings.SpinZ = 0;
        settings.SpeedX = settings.SpeedY = settings.SpeedZ = 0;
        settings.CubeFloat = 0;
        settings.CubeTransp = 0;
        window.setSurfaceType(QSurface::OpenGLSurface);
        QSurfaceFormat format;
        format.setDepthBufferSize(0);
        format.setStencilBufferSize(0);
        window.setFormat(format);
        window.resize(kWidth, kHeight);
        window.show();
        QElapsedTimer t;
        t.start();
        while (!window.isExposed() && t.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ~Show()
    {
        if (dx)
            dx->CloseDX();
    }

    // Creates the renderer; `loader` stands for the image loader (none: nothing to load).
    bool Start(ImageLoaderFn loader = [](CBitmapEx&, int) { return 0; })
    {
        dx = std::make_unique<DXGraphics>(settings);
        dx->SetClock([this] { return now; });
        dx->SetImageLoader(std::move(loader));
        dx->Init(&window, {0, 0, kWidth, kHeight});
        return dx->IsCreated();
    }

    // The same with a loader that names its photos and can load them again.
    bool StartWithPhotos(PhotoLoaderFn loader)
    {
        dx = std::make_unique<DXGraphics>(settings);
        dx->SetClock([this] { return now; });
        dx->SetPhotoLoader(std::move(loader));
        dx->Init(&window, {0, 0, kWidth, kHeight});
        return dx->IsCreated();
    }

    void Frame() { dx->RenderFrame(); }

    std::vector<std::uint32_t> Capture()
    {
        std::vector<std::uint32_t> pixels;
        int w = 0, h = 0;
        dx->CaptureNextFrame(&pixels, &w, &h);
        dx->RenderFrame();
        EXPECT_EQ(w, kWidth);
        EXPECT_EQ(h, kHeight);
        return pixels;
    }
};

// The mean colour of a (2r+1)-square around (x, y).
Rgb Mean(const std::vector<std::uint32_t>& px, int x, int y, int r = 4)
{
    long s[3] = {0, 0, 0};
    int n = 0;
    for (int j = y - r; j <= y + r; ++j)
        for (int i = x - r; i <= x + r; ++i) {
            const std::uint32_t c = px[std::size_t(j) * kWidth + std::size_t(i)];
            s[0] += (c >> 16) & 0xFF;
            s[1] += (c >> 8) & 0xFF;
            s[2] += c & 0xFF;
            ++n;
        }
    return {int(s[0] / n), int(s[1] / n), int(s[2] / n)};
}

::testing::AssertionResult Near(Rgb actual, Rgb expected, int tolerance = 14)
{
    if (std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
        std::abs(actual.b - expected.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.r << "," << actual.g << "," << actual.b << ") vs ("
                                         << expected.r << "," << expected.g << "," << expected.b << ")";
}

bool Contains(const std::vector<std::string>& m, const std::string& line)
{
    return std::find(m.begin(), m.end(), line) != m.end();
}

TEST(RenderDisplay, ClearsToTheOpaqueBackColourOnTheSoftwareDevice)
{
    ScopedTestLog log;
    Show show;
    show.settings.BackColor = 0x000000FF;
    ASSERT_TRUE(show.Start());
    const auto px = show.Capture();
    EXPECT_EQ(px[5 * kWidth + 5], 0xFFFF0000u);
    EXPECT_EQ(px[230 * kWidth + 310], 0xFFFF0000u);
    const auto m = log.Messages();
    if (IsReferenceRasteriser(show.dx->Device().RendererName())) {
        // The hardware device is tried first and refused, then the reference one serves.
        EXPECT_TRUE(Contains(m, "getGoodFormat(windowed) - device=D3DDEVTYPE_HAL - check of currentFormat returns: "
                                "DEVICEERR_NOTAVAILABLE"));
        EXPECT_TRUE(Contains(m, "getGoodFormat(windowed) - device=D3DDEVTYPE_REF - check of currentFormat returns: "
                                "DEVICE_OK"));
        EXPECT_TRUE(Contains(m, "CreateDevice(HAL) returned error code: DEVICEERR_NOTAVAILABLE"));
        EXPECT_TRUE(Contains(m, "CreateDevice(REF) returned 0"));
    } else {
        EXPECT_TRUE(Contains(m, "CreateDevice(HAL) returned error code: DEVICE_OK"));
    }
    EXPECT_TRUE(Contains(m, "DXGraphics Init, Using Adapter 0"));
    EXPECT_TRUE(Contains(m, "Loading small textures"));
    EXPECT_TRUE(Contains(m, "Done loading textures"));
    EXPECT_EQ(show.dx->WantedSize(), 160);
    // A second Init keeps the device it has.
    const unsigned tile = show.dx->FaceTexture(0);
    EXPECT_TRUE(show.dx->Init(&show.window, {0, 0, kWidth, kHeight}));
    EXPECT_EQ(show.dx->FaceTexture(0), tile);
}

TEST(RenderDisplay, WithoutThePermissionOnlyARendererFitForTheShowServes)
{
    ScopedTestLog log;
    Show show;
    show.settings.AllowSoftwareAcceleration = 0;
    const bool created = show.Start();
    const auto m = log.Messages();
    if (!Contains(m, "getGoodFormat(windowed) - device=D3DDEVTYPE_HAL - check of currentFormat returns: "
                     "DEVICEERR_NOTAVAILABLE")) {
        // A GPU, or llvmpipe on a machine without one: the first run shows photos.
        EXPECT_TRUE(created);
        EXPECT_FALSE(IsReferenceRasteriser(show.dx->Device().RendererName()));
        EXPECT_TRUE(Contains(m, "CreateDevice(HAL) returned error code: DEVICE_OK"));
        return;
    }
    EXPECT_TRUE(IsReferenceRasteriser(show.dx->Device().RendererName()));
    EXPECT_FALSE(created);
    EXPECT_TRUE(Contains(m, "Couldn't find a good windowed DirectX format, giving up"));
    EXPECT_FALSE(Contains(m, "getGoodFormat(windowed) - device=D3DDEVTYPE_REF - check of currentFormat returns: "
                             "DEVICE_OK"));
    show.dx->RenderFrame();   // never drawn, harmless
    EXPECT_EQ(show.dx->LastFrame().frames, 0u);
}

TEST(RenderDisplay, OnlyTheFacesThatFaceTheEyeAreDrawnInTheFrontPass)
{
    Show show;
    ASSERT_TRUE(show.Start());
    EXPECT_TRUE(Near(Mean(show.Capture(), 160, 120), kLavender));   // face 0
    // Quarter turns after one second of the fake clock.
    const struct {
        Vec3 spin;
        Rgb colour;
    } turns[] = {
        {{0.0f, 1.5707964f, 0.0f}, kSalmon},    // yaw: face 3 comes round to the front
        {{0.0f, -1.5707964f, 0.0f}, kOlive},    // face 2
        {{1.5707964f, 0.0f, 0.0f}, kSand},      // pitch: face 5
        {{0.0f, 3.1415927f, 0.0f}, kMint},      // half turn: face 1
    };
    for (const auto& turn : turns) {
        show.dx->Motion().spinRate = turn.spin;
        show.now = 6000;
        EXPECT_TRUE(Near(Mean(show.Capture(), 160, 120), turn.colour))
            << turn.spin.x << "," << turn.spin.y;
    }
}

TEST(RenderDisplay, APhotoShowsOnFaceZeroFromTheNextFrame)
{
    Show show;
    ASSERT_TRUE(show.Start());
    ASSERT_TRUE(show.dx->QueueTexture(Solid(0xFF2040E0)));
    // Taken over after this frame was presented.
    EXPECT_TRUE(Near(Mean(show.Capture(), 160, 120), kLavender));
    EXPECT_EQ(show.dx->NextFace(), 1);
    EXPECT_TRUE(show.dx->FacePhoto(0));
    EXPECT_TRUE(Near(Mean(show.Capture(), 160, 120), {0x20, 0x40, 0xE0}, 2));
}

TEST(RenderDisplay, FourPendingTexturesReachFourFacesOnFourFrames)
{
    Show show;
    ASSERT_TRUE(show.Start());
    for (int i = 0; i < 4; ++i)
        show.dx->QueueTexture(Solid(0xFF000000u | std::uint32_t(i * 40)));
    for (int i = 0; i < 4; ++i) {
        show.Frame();
        EXPECT_EQ(show.dx->NextFace(), i + 1);
        EXPECT_TRUE(show.dx->FacePhoto(i));
        EXPECT_EQ(show.dx->PendingCount(), std::size_t(3 - i));
    }
    EXPECT_FALSE(show.dx->FacePhoto(4));
    show.Frame();
    EXPECT_EQ(show.dx->NextFace(), 4);
    // The counter wraps after face 5, whatever faces the eye.
    for (int i = 0; i < 3; ++i)
        show.dx->QueueTexture(Solid(0xFFFFFFFF));
    const unsigned before = show.dx->FaceTexture(0);
    for (int i = 0; i < 3; ++i)
        show.Frame();
    EXPECT_EQ(show.dx->NextFace(), 1);
    EXPECT_NE(show.dx->FaceTexture(0), before);
}

// A photo whose every pixel is the colour key.
std::unique_ptr<TexturePixels> KeyedPhoto()
{
    const int n = 32;
    PackedDib dib = PackedDib::Allocate(40 + std::size_t(n) * n * 4);
    BitmapInfoHeader h;
    h.biWidth = n;
    h.biHeight = -n;
    h.biBitCount = 32;
    dib.SetHeader(h);
    for (int i = 0; i < n * n; ++i)
        std::memcpy(dib.data() + 40 + 4 * i, &kColourKey, 4);
    return PixelsFromDib(dib, kColourKey, 4096);
}

TEST(RenderDisplay, TheColourKeyIsTransparentOnlyWithAspectRatioAndTransparency)
{
    const struct {
        int keepAspect, transp;
        Rgb centre;
    } cases[] = {
        {1, 1, kMint},       // the far face shows through the photo
        {0, 1, {0, 0, 0}},   // opaque black
        {1, 0, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        Show show;
        show.settings.KeepAspectRatio = c.keepAspect;
        show.settings.CubeTransp = c.transp;
        show.settings.BackColor = 0x000000FF;
        ASSERT_TRUE(show.Start());
        show.dx->QueueTexture(KeyedPhoto());
        show.Frame();
        EXPECT_TRUE(Near(Mean(show.Capture(), 160, 120), c.centre)) << c.keepAspect << c.transp;
    }
}

TEST(RenderDisplay, BackFacesShowThroughTheGapsOfFloatingFaces)
{
    for (int floating : {0, 1}) {
        Show show;
        show.settings.CubeFloat = floating;
        show.settings.BackColor = 0x00FF0000;   // blue
        ASSERT_TRUE(show.Start());
        const auto px = show.Capture();
        EXPECT_TRUE(Near(Mean(px, 160, 120), kLavender));
        // Just inside the right edge of face 0 (x = 0.46 of 0.5): the gap when floating,
        // through which the inside of face 3 is seen.
        const Rgb edge = Mean(px, 202, 120, 1);
        if (floating)
            EXPECT_TRUE(Near(edge, kSalmon, 20));
        else
            EXPECT_TRUE(Near(edge, kLavender, 20));
        // Beyond the cube: background.
        EXPECT_EQ(px[120 * kWidth + 300], 0xFF0000FFu);
    }
}

TEST(RenderDisplay, ALoadedPhotoTravelsFromTheLoaderThreadToFaceZero)
{
    Show show;
    std::atomic<int> calls{0};
    ASSERT_TRUE(show.Start([&calls](CBitmapEx& target, int size) {
        if (calls++ > 0)
            return 0;
        auto bmp = std::make_unique<DeviceBitmap>();
        bmp->width = bmp->height = size;
        bmp->pixels.assign(std::size_t(size) * std::size_t(size), 0xFF10C020u);
        target.bitmap = std::move(bmp);
        return 0;
    }));
    for (int i = 0; i < 200 && !show.dx->FacePhoto(0); ++i) {
        show.Frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(show.dx->FacePhoto(0));
    EXPECT_TRUE(Near(Mean(show.Capture(), 160, 120), {0x10, 0xC0, 0x20}, 2));
}

// A photo whose top half is red and bottom half blue.
std::unique_ptr<TexturePixels> TopRedBottomBlue()
{
    auto t = Solid(0xFFFF0000);
    for (std::size_t i = t->rgba.size() / 2; i < t->rgba.size(); i += 4) {
        t->rgba[i] = 0;
        t->rgba[i + 2] = 0xFF;
    }
    return t;
}

TEST(RenderDisplay, KeepUprightTurnsAPhotoSoItsTopIsUpOnScreen)
{
    for (int upright : {0, 1}) {
        Show show;
        show.settings.KeepUpright = upright;
        ASSERT_TRUE(show.Start());
        show.dx->QueueTexture(TopRedBottomBlue());
        // The hand-over, then the pairs 2, 4 and 0 in turn.
        for (int i = 0; i < 4; ++i)
            show.Frame();
        const auto px = show.Capture();
        const Rgb above = Mean(px, 160, 100, 2), below = Mean(px, 160, 140, 2);
        if (upright) {
            EXPECT_TRUE(Near(above, {255, 0, 0}, 2));
            EXPECT_TRUE(Near(below, {0, 0, 255}, 2));
        } else {
            // As built, the photo lies on its side: its top row runs down the right edge.
            EXPECT_TRUE(Near(Mean(px, 185, 120, 2), {255, 0, 0}, 2));
            EXPECT_TRUE(Near(Mean(px, 135, 120, 2), {0, 0, 255}, 2));
        }
    }
}

TEST(RenderDisplay, CloseAfterTheWindowIsGoneReleasesWithoutDrawing)
{
    ScopedTestLog log;
    Show show;
    ASSERT_TRUE(show.Start());
    show.Frame();
    show.window.destroy();
    show.dx->RenderFrame();
    show.dx->CloseDX();
    EXPECT_FALSE(show.dx->IsCreated());
    EXPECT_EQ(log.Messages().back().rfind("CloseDX exit: ", 0), 0u);
}

TEST(RenderDisplay, FrameTimingIsReadableAfterEachFrame)
{
    Show show;
    ASSERT_TRUE(show.Start());
    std::vector<FrameTiming> seen;
    show.dx->SetFrameObserver([&seen](const FrameTiming& t) { seen.push_back(t); });
    show.Frame();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    show.Frame();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].frames, 2u);
    EXPECT_EQ(seen[0].intervalMs, 0.0);
    EXPECT_GE(seen[1].intervalMs, 19.0);
    EXPECT_GT(seen[1].renderMs, 0.0);
}

std::vector<std::string> From(const std::vector<std::string>& m, const std::string& first)
{
    auto it = std::find_if(m.begin(), m.end(), [&](const std::string& l) { return l.rfind(first, 0) == 0; });
    return {it, m.end()};
}

TEST(RenderDisplay, CloseInTheSlowPhaseEndsTheThreadWithinItsWait)
{
    ScopedTestLog log;
    Show show;
    std::atomic<int> calls{0};
    ASSERT_TRUE(show.Start([&calls](CBitmapEx&, int) {
        ++calls;
        return 0;
    }));
    for (int i = 0; i < 300 && calls < 6; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(calls, 6);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string self = StrFormat("%x", unsigned(reinterpret_cast<std::uintptr_t>(show.dx.get())));
    QElapsedTimer t;
    t.start();
    show.dx->CloseDX();
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_FALSE(show.dx->IsCreated());
    EXPECT_EQ(From(log.Messages(), "Setting kill event"),
              (std::vector<std::string>{"Setting kill event for texture loading thread: " + self,
                                        "Leaving texture loader thread, saw kill event: " + self,
                                        "Texture loading thread shut down properly: " + self,
                                        "Entering DXGraphics::cleanup", "Leaving DXGraphics::cleanup",
                                        "CloseDX exit: " + self}));
    show.dx->CloseDX();   // twice is harmless
}

TEST(RenderDisplay, CloseInTheFastPhaseStopsAtTheNextWait)
{
    ScopedTestLog log;
    Show show;
    ASSERT_TRUE(show.Start());
    show.dx->CloseDX();
    const auto tail = From(log.Messages(), "Setting kill event");
    ASSERT_GE(tail.size(), 6u);
    EXPECT_TRUE(Contains(tail, "Leaving texture loader thread, saw kill event: " +
                                   StrFormat("%x", unsigned(reinterpret_cast<std::uintptr_t>(show.dx.get())))));
    EXPECT_EQ(tail[tail.size() - 4].rfind("Texture loading thread shut down properly: ", 0), 0u);
    EXPECT_EQ(tail.back().rfind("CloseDX exit: ", 0), 0u);
}

TEST(RenderDisplay, AThreadStuckInItsLoaderIsLetGoAndNeverTouchesTheRenderer)
{
    ScopedTestLog log;
    auto release = std::make_shared<std::promise<void>>();
    std::shared_future<void> released = release->get_future().share();
    std::atomic<bool> entered{false};
    {
        Show show;
        ASSERT_TRUE(show.Start([released, &entered](CBitmapEx& target, int size) {
            entered = true;
            released.wait();
            auto bmp = std::make_unique<DeviceBitmap>();
            bmp->width = bmp->height = size;
            bmp->pixels.assign(std::size_t(size) * std::size_t(size), 0xFFFFFFFFu);
            target.bitmap = std::move(bmp);
            return 0;
        }));
        for (int i = 0; i < 300 && !entered; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        show.dx->SetStopTimeout(std::chrono::milliseconds(200));
        show.dx->CloseDX();
        const auto m = log.Messages();
        EXPECT_TRUE(std::any_of(m.begin(), m.end(), [](const std::string& l) {
            return l.rfind("Trouble killing texture loading thread: ", 0) == 0;
        }));
        EXPECT_EQ(m.back().rfind("CloseDX exit: ", 0), 0u);
        show.dx.reset();   // the renderer is gone while the thread still decodes
    }
    release->set_value();
    bool left = false;
    for (int i = 0; i < 300 && !left; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const auto m = log.Messages();
        left = std::any_of(m.begin(), m.end(), [](const std::string& l) {
            return l.rfind("Leaving texture loader thread, saw kill event: ", 0) == 0;
        });
    }
    EXPECT_TRUE(left);
}

// One-pixel black and white columns.
std::unique_ptr<TexturePixels> Stripes(int size)
{
    auto t = std::make_unique<TexturePixels>();
    t->width = t->height = size;
    t->rgba.resize(std::size_t(size) * std::size_t(size) * 4);
    for (std::size_t i = 0; i < t->rgba.size(); i += 4) {
        const std::uint8_t v = (i / 4) % 2 ? 0xFF : 0x00;
        t->rgba[i] = t->rgba[i + 1] = t->rgba[i + 2] = v;
        t->rgba[i + 3] = 0xFF;
    }
    return t;
}

struct Spread {
    double mean = 0, deviation = 0;
};

// Mean and standard deviation of the green channel in a rectangle.
Spread GreenSpread(const std::vector<std::uint32_t>& px, int left, int top, int right, int bottom)
{
    double sum = 0, squares = 0;
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const double g = double((px[std::size_t(y) * kWidth + std::size_t(x)] >> 8) & 0xFF);
            sum += g;
            squares += g * g;
            ++n;
        }
    const double mean = sum / n;
    return {mean, std::sqrt(std::max(0.0, squares / n - mean * mean))};
}

TEST(RenderDisplay, FineStripesOnAFaceAQuarterOfTheirSizeShowAnEvenGrey)
{
    // Face 0 is about 90 pixels across here; the photo about four times that,
    // not exactly, so that plain sampling does not land on one colour alone.
    const int photo = 350;
    Spread seen[2];
    for (Minify minify : {Minify::Trilinear, Minify::Bilinear}) {
        Show show;
        ASSERT_TRUE(show.Start());
        if (show.dx->Device().TextureMinify() != Minify::Trilinear)
            GTEST_SKIP() << "this driver cannot make mipmaps of any size";
        show.dx->Device().SetTextureMinify(minify);
        show.dx->QueueTexture(Stripes(photo));
        show.Frame();
        seen[int(minify)] = GreenSpread(show.Capture(), 135, 95, 185, 145);
    }
    EXPECT_LT(seen[int(Minify::Trilinear)].deviation, 6.0);
    EXPECT_NEAR(seen[int(Minify::Trilinear)].mean, 128.0, 24.0);
    // Sampled from the full-size level alone, as before, the columns come
    // through as stripes and moire.
    EXPECT_GT(seen[int(Minify::Bilinear)].deviation, 30.0);
}

// Photos of the list are p1, p2, ... in colours of their own; `calls` records
// the file each load was asked for ("" for the next of the list). A load waits
// (two seconds at most) until `allowed` lets it go, so that the quick first
// passes can be taken one by one, however slow the frames are.
struct PhotoSource {
    std::mutex lock;
    std::vector<std::string> calls;
    int made = 0;
    std::atomic<int> allowed{1000};

    static std::uint32_t Colour(int i) { return 0xFF000000u | std::uint32_t(i * 40) << 16 | std::uint32_t(255 - i * 30); }
    PhotoLoaderFn Loader()
    {
        return [this](CBitmapEx& target, int size, const std::string& file, std::string& loaded) {
            for (int i = 0; i < 200 && int(Calls().size()) >= allowed; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            int index;
            {
                std::lock_guard<std::mutex> g(lock);
                calls.push_back(file);
                index = file.empty() ? ++made : std::stoi(file.substr(1));
            }
            loaded = "p" + std::to_string(index);
            auto bmp = std::make_unique<DeviceBitmap>();
            bmp->width = bmp->height = size;
            bmp->pixels.assign(std::size_t(size) * std::size_t(size), Colour(index));
            target.bitmap = std::move(bmp);
            return 0;
        };
    }
    std::vector<std::string> Calls()
    {
        std::lock_guard<std::mutex> g(lock);
        return calls;
    }
};

Rgb RgbOf(std::uint32_t argb) { return {int(argb >> 16 & 0xFF), int(argb >> 8 & 0xFF), int(argb & 0xFF)}; }

// Draws frames (10 ms apart) until `done` holds, for at most three seconds.
template <class Done>
bool FramesUntil(Show& show, Done done)
{
    for (int i = 0; i < 300; ++i) {
        if (done())
            return true;
        show.Frame();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

// Lets the quick first passes load one photo each, one after the other.
bool FirstSixPhotos(Show& show, PhotoSource& source)
{
    for (int i = 1; i <= 6; ++i) {
        source.allowed = i;
        if (!FramesUntil(show, [&] { return show.dx->History().Size() == std::size_t(i); }))
            return false;
    }
    source.allowed = 1000;
    return true;
}

TEST(RenderDisplay, KeysBringTheNextPhotoAtOnceAndEarlierOnesAgain)
{
    PhotoSource source;
    source.allowed = 0;
    Show show;
    show.settings.Delay = 30;
    ASSERT_TRUE(show.StartWithPhotos(source.Loader()));
    EXPECT_EQ(show.dx->ShowPreviousPhoto(), PhotoAsk::NoneEarlier);
    // The six first photos, then the loader waits 30 seconds.
    ASSERT_TRUE(FirstSixPhotos(show, source));
    EXPECT_EQ(show.dx->NextFace(), 0);
    EXPECT_TRUE(Near(Mean(show.Capture(), 160, 120), RgbOf(PhotoSource::Colour(1)), 2));

    // The next photo goes on face 0, the one in front, well within a second.
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(show.dx->ShowNextPhoto(), PhotoAsk::Asked);
    ASSERT_TRUE(FramesUntil(show, [&] { return show.dx->NextFace() == 1; }));
    EXPECT_LT(t.elapsed(), 1000);
    EXPECT_TRUE(Near(Mean(show.Capture(), 160, 120), RgbOf(PhotoSource::Colour(7)), 2));

    // Two steps back load p6 and p5 again, one forward p6: none of them is a new choice.
    EXPECT_EQ(show.dx->ShowPreviousPhoto(), PhotoAsk::Asked);
    EXPECT_EQ(show.dx->ShowPreviousPhoto(), PhotoAsk::Asked);
    EXPECT_EQ(show.dx->ShowNextPhoto(), PhotoAsk::Asked);
    ASSERT_TRUE(FramesUntil(show, [&] { return show.dx->NextFace() == 4; }));
    EXPECT_EQ(source.Calls(), (std::vector<std::string>{"", "", "", "", "", "", "", "p6", "p5", "p6"}));
    EXPECT_EQ(show.dx->History().Size(), 7u);
    EXPECT_EQ(show.dx->History().Position(), 5u);
    // Forward again: p7 once more, then past the end a new photo from the list.
    EXPECT_EQ(show.dx->ShowNextPhoto(), PhotoAsk::Asked);
    EXPECT_EQ(show.dx->ShowNextPhoto(), PhotoAsk::Asked);
    ASSERT_TRUE(FramesUntil(show, [&] { return show.dx->NextFace() == 0; }));
    const auto calls = source.Calls();
    EXPECT_EQ(std::vector<std::string>(calls.end() - 2, calls.end()), (std::vector<std::string>{"p7", ""}));
    EXPECT_EQ(show.dx->History().Size(), 8u);
    EXPECT_EQ(show.dx->History().Position(), 7u);
}

TEST(RenderDisplay, APausedCubeStandsStillAndGoesOnFromWhereItStopped)
{
    PhotoSource source;
    source.allowed = 0;
    Show show;
    show.settings.Delay = 30;
    show.settings.SpinY = 60;
    show.settings.SpeedX = 60;
    ASSERT_TRUE(show.StartWithPhotos(source.Loader()));
    ASSERT_TRUE(FirstSixPhotos(show, source));

    show.now = 6000;
    show.Frame();
    show.dx->SetPaused(true);
    // A photo asked for still comes, on the next face.
    EXPECT_EQ(show.dx->ShowNextPhoto(), PhotoAsk::Asked);
    ASSERT_TRUE(FramesUntil(show, [&] { return show.dx->NextFace() == 1; }));
    const auto paused = show.Capture();
    // A photo that comes on its own waits; time passes without a turn or a move.
    show.dx->QueueTexture(Solid(0xFFFFFFFF));
    show.now = 9000;
    for (int i = 0; i < 5; ++i)
        show.Frame();
    EXPECT_TRUE(show.Capture() == paused);
    EXPECT_EQ(show.dx->PendingCount(), 1u);
    EXPECT_EQ(show.dx->NextFace(), 1);

    // Resumed, the cube turns on from the angle and place where it stood.
    show.dx->SetPaused(false);
    EXPECT_TRUE(show.Capture() == paused);
    EXPECT_EQ(show.dx->PendingCount(), 0u);
    EXPECT_EQ(show.dx->NextFace(), 2);
    const auto moved = show.Capture();
    show.now = 9500;
    EXPECT_FALSE(show.Capture() == moved);
}

} // namespace
