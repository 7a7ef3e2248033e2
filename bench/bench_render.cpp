// Frame time of the default show at 1920 x 1080, and the extra time of a frame
// that takes over a 1280 x 1280 photo, against a frame that takes none in the
// same run. Then the mipmapped, trilinear sampling of the photos against the
// plain bilinear sampling as reference: frame time and upload time of a 960 x
// 960 photo (what a 1080p screen loads). Needs an X display (scripts/with-display).
#include "app/saver_settings.h"
#include "render/dx_graphics.h"
#include "render/mipmaps.h"
#include "imaging/own/packed_dib.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>
#include <map>
#include <memory>

namespace {

constexpr int kWidth = 1920, kHeight = 1080, kPhoto = 1280, kScreenPhoto = 960;

struct Show {
    CSaverSettings settings;
    QWindow window;
    std::unique_ptr<DXGraphics> dx;
    TexturePixels photo;
    TexturePixels screenPhoto;
    TexturePixels screenPhotoLevels;   // with its smaller levels, as the loader thread makes them

    Show()
    {
        settings.AllowSoftwareAcceleration = 1;
        window.setSurfaceType(QSurface::OpenGLSurface);
        window.resize(kWidth, kHeight);
        window.show();
        QElapsedTimer t;
        t.start();
        while (!window.isExposed() && t.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        dx = std::make_unique<DXGraphics>(settings);
        dx->SetImageLoader([](CBitmapEx&, int) { return 0; });
        dx->Init(&window, {0, 0, kWidth, kHeight});
        photo = Noise(kPhoto);
        photo.mipmaps = MipmapsOf(photo);
        screenPhoto = Noise(kScreenPhoto);
        screenPhotoLevels = screenPhoto;
        screenPhotoLevels.mipmaps = MipmapsOf(screenPhoto);
        // Every face carries a photo in both runs, so they differ by the hand-over only.
        for (int f = 0; f < 6; ++f) {
            dx->QueueTexture(std::make_unique<TexturePixels>(photo));
            Frame();
        }
    }
    ~Show() { dx->CloseDX(); }

    static TexturePixels Noise(int size)
    {
        TexturePixels t;
        t.width = t.height = size;
        t.rgba.resize(std::size_t(size) * std::size_t(size) * 4);
        for (std::size_t i = 0; i < t.rgba.size(); ++i)
            t.rgba[i] = std::uint8_t(i * 2654435761u >> 24);
        return t;
    }

    // The 960 photo as the loader thread hands it over for this sampling.
    const TexturePixels& ScreenPhoto(Minify minify) const
    {
        return minify == Minify::Trilinear ? screenPhotoLevels : screenPhoto;
    }
    // Puts the 960 photo on all six faces, made with the given sampling.
    void FillFaces(Minify minify)
    {
        dx->Device().SetTextureMinify(minify);
        for (int f = 0; f < 6; ++f) {
            dx->QueueTexture(std::make_unique<TexturePixels>(ScreenPhoto(minify)));
            Frame();
        }
    }

    // One frame, finished on the device, so that its whole cost is counted.
    void Frame()
    {
        dx->RenderFrame();
        QOpenGLContext::currentContext()->functions()->glFinish();
    }
};

Show* g_show = nullptr;

struct Pair {
    double plain = 0.0, with = 0.0;
};

void BM_Frame(benchmark::State& state)
{
    for (auto _ : state)
        g_show->Frame();
}
// Real time: the drawing happens in the driver's threads, not in this one's CPU time.
BENCHMARK(BM_Frame)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_FrameTakingOverAPhoto(benchmark::State& state)
{
    double handOver = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        g_show->dx->QueueTexture(std::make_unique<TexturePixels>(g_show->photo));
        state.ResumeTiming();
        g_show->Frame();
        handOver += g_show->dx->LastFrame().handoverMs;
    }
    state.counters["handover_ms"] = handOver / double(state.iterations());
}
BENCHMARK(BM_FrameTakingOverAPhoto)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Frames with and without a hand-over, alternately, so that load on the machine
// hits both alike; the medians are what the summary reports.
Pair g_pair;

void BM_AlternateFrames(benchmark::State& state)
{
    std::vector<double> plain, with;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        g_show->Frame();
        plain.push_back(double(t.nsecsElapsed()) / 1e6);
        state.PauseTiming();
        g_show->dx->QueueTexture(std::make_unique<TexturePixels>(g_show->photo));
        state.ResumeTiming();
        t.restart();
        g_show->Frame();
        with.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    g_pair = {Median(plain), Median(with)};
    state.counters["frame_ms"] = g_pair.plain;
    state.counters["with_photo_ms"] = g_pair.with;
}
BENCHMARK(BM_AlternateFrames)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

// Trilinear against bilinear in alternating rounds, so that load on the machine
// hits both alike: in each round all faces are made anew in one sampling, then
// plain frames and frames that take over a photo are timed.
struct Sampling {
    std::vector<double> frame, withPhoto;
};
Sampling g_sampling[2];   // [0] bilinear (the reference), [1] trilinear

void BM_SamplingRounds(benchmark::State& state)
{
    for (auto& s : g_sampling)
        s = {};
    for (auto _ : state) {
        for (int m = 0; m < 2; ++m) {
            const Minify minify = m ? Minify::Trilinear : Minify::Bilinear;
            g_show->FillFaces(minify);
            for (int i = 0; i < 10; ++i) {
                QElapsedTimer t;
                t.start();
                g_show->Frame();
                g_sampling[m].frame.push_back(double(t.nsecsElapsed()) / 1e6);
                state.PauseTiming();
                g_show->dx->QueueTexture(std::make_unique<TexturePixels>(g_show->ScreenPhoto(minify)));
                state.ResumeTiming();
                t.restart();
                g_show->Frame();
                g_sampling[m].withPhoto.push_back(double(t.nsecsElapsed()) / 1e6);
            }
        }
    }
    g_show->dx->Device().SetTextureMinify(Minify::Trilinear);
}
BENCHMARK(BM_SamplingRounds)->Unit(benchmark::kMillisecond)->Iterations(6)->UseRealTime();

// What the smaller levels add on the loader thread, against the conversion of
// the decoded photo into texture pixels that it does anyway.
PackedDib ScreenDib()
{
    PackedDib dib = PackedDib::Allocate(40 + std::size_t(kScreenPhoto) * kScreenPhoto * 4);
    BitmapInfoHeader h;
    h.biWidth = kScreenPhoto;
    h.biHeight = -kScreenPhoto;
    h.biBitCount = 32;
    dib.SetHeader(h);
    for (std::size_t i = 40; i < dib.size(); ++i)
        dib.data()[i] = std::uint8_t(i * 2654435761u >> 24);
    return dib;
}

void BM_LoaderPixelsFromDib(benchmark::State& state)
{
    const PackedDib dib = ScreenDib();
    for (auto _ : state)
        benchmark::DoNotOptimize(PixelsFromDib(dib, kColourKey, 16384));
}
BENCHMARK(BM_LoaderPixelsFromDib)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_LoaderMipmaps(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(MipmapsOf(g_show->screenPhoto));
}
BENCHMARK(BM_LoaderMipmaps)->Unit(benchmark::kMillisecond)->MinTime(1.0);

class Recorder : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ms;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            ms[r.run_name.function_name] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Show show;
    if (!show.dx->IsCreated()) {
        std::fprintf(stderr, "bench_render: no OpenGL device\n");
        return 1;
    }
    std::printf("renderer: %s, window %dx%d, photo %dx%d, sampling %s, anisotropy %.0f\n",
                show.dx->Device().RendererName().c_str(), kWidth, kHeight, kPhoto, kPhoto,
                show.dx->Device().TextureMinify() == Minify::Trilinear ? "trilinear" : "bilinear",
                double(show.dx->Device().Anisotropy()));
    g_show = &show;
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    g_show = nullptr;
    const double frame = recorder.ms["BM_Frame"], takeOver = recorder.ms["BM_FrameTakingOverAPhoto"];
    if (frame > 0 && takeOver > 0)
        std::printf("mean frame %.2f ms; with a photo hand-over %.2f ms (ratio %.2f)\n", frame, takeOver,
                    takeOver / frame);
    if (g_pair.plain > 0)
        std::printf("alternating, median: frame %.2f ms, with a photo hand-over %.2f ms: ratio %.2f, hand-over "
                    "cost %.2f ms (goal: at most 8 ms)\n",
                    g_pair.plain, g_pair.with, g_pair.with / g_pair.plain, g_pair.with - g_pair.plain);
    const Sampling& ref = g_sampling[0];
    const Sampling& mip = g_sampling[1];
    if (!ref.frame.empty() && !mip.frame.empty()) {
        const double frameRef = Median(ref.frame), frameMip = Median(mip.frame);
        const double withRef = Median(ref.withPhoto), withMip = Median(mip.withPhoto);
        const double uploadRef = withRef - frameRef, uploadMip = withMip - frameMip;
        std::printf("sampling, median of %zu frames each, %dx%d photos:\n", ref.frame.size(), kScreenPhoto,
                    kScreenPhoto);
        std::printf("  frame: bilinear %.2f ms, trilinear %.2f ms: ratio %.2f (goal: at most 1.10)\n", frameRef,
                    frameMip, frameMip / frameRef);
        std::printf("  frame taking over a photo: bilinear %.2f ms, trilinear with mipmaps %.2f ms: ratio %.2f "
                    "(goal: at most 1.10)\n",
                    withRef, withMip, withMip / withRef);
        std::printf("  upload alone (the difference): bilinear %.2f ms, with mipmaps %.2f ms: ratio %.2f\n",
                    uploadRef, uploadMip, uploadRef > 0 ? uploadMip / uploadRef : 0.0);
    }
    const double pixels = recorder.ms["BM_LoaderPixelsFromDib"], levels = recorder.ms["BM_LoaderMipmaps"];
    if (pixels > 0 && levels > 0)
        std::printf("loader thread, %dx%d: texture pixels %.2f ms, smaller levels %.2f ms more (ratio %.2f)\n",
                    kScreenPhoto, kScreenPhoto, pixels, levels, (pixels + levels) / pixels);
    benchmark::Shutdown();
    return 0;
}
