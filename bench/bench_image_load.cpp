// The image-codec path end to end (decode, fit, device bitmap) next to its
// floor: libjpeg-turbo decoding the same file at the same DCT scale and
// nothing else (Qt's bare decode for PNG and GIF). Prints the ratio per case,
// the own-reader path on the same files, and the peak memory of a 24 MP load.
#include "bench/image_fixtures.h"
#include "bench/more_format_fixtures.h"

#include "app/saver_settings.h"
#include "imaging/codec/fit_geometry.h"
#include "imaging/codec/jpeg_scaled_decode.h"
#include "imaging/fit/image_loader.h"
#include "imaging/own/bitmap_ex.h"

#include <QImage>
#include <QImageReader>
#include <QString>

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <libheif/heif.h>
#include <sys/resource.h>

namespace {
struct Case {
    const ImageFixture* fixture;
    int size;
    bool keepAspect;
    std::string label;
};

int LoadOnce(const std::string& path, int size, bool keepAspect, bool codec)
{
    CSaverSettings settings;
    settings.Random = 0;
    settings.SaveLastImage = 0;
    settings.KeepAspectRatio = keepAspect;
    settings.ImageFiles = {path};
    settings.AllImageFiles = settings.ImageFiles;
    CBitmapEx bitmap;
    const int r = LoadNewImage(bitmap, size, settings, codec);
    if (r != 0 || !bitmap.bitmap)
        return -1;
    benchmark::DoNotOptimize(bitmap.bitmap->pixels.data());
    return 0;
}

// The DCT scale the codec path picks for this case.
int ScaleFor(const Case& c)
{
    const ImageFixture& f = *c.fixture;
    const CodecFit fit = ComputeCodecFit(f.width, f.height, c.size, c.size, c.keepAspect, true);
    const SourceWindow window{double(fit.source.x), double(fit.source.y), double(fit.source.w), double(fit.source.h)};
    return JpegScaledDecoder::ChooseScale(f.width, f.height, window, fit.dest.w, fit.dest.h);
}

bool DecodeJpegOnly(const std::string& path, int scaleNum)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = unsigned(scaleNum);
    cinfo.scale_denom = 8;
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int batch = cinfo.rec_outbuf_height;
    std::vector<JSAMPLE> buffer(std::size_t(cinfo.output_width) * 3 * batch);
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(batch));
    for (int i = 0; i < batch; ++i)
        rows[std::size_t(i)] = buffer.data() + std::size_t(cinfo.output_width) * 3 * i;
    while (cinfo.output_scanline < cinfo.output_height)
        jpeg_read_scanlines(&cinfo, rows.data(), JDIMENSION(batch));
    benchmark::DoNotOptimize(buffer.data());
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::fclose(file);
    return true;
}

bool DecodeQtOnly(const std::string& path)
{
    QImageReader reader(QString::fromStdString(path));
    QImage image = reader.read();
    benchmark::DoNotOptimize(image.constBits());
    return !image.isNull();
}

// libheif's own decode of the primary image into RGB, nothing else.
bool DecodeHeifOnly(const std::string& path)
{
    heif_context* context = heif_context_alloc();
    heif_image_handle* handle = nullptr;
    heif_image* image = nullptr;
    bool ok = heif_context_read_from_file(context, path.c_str(), nullptr).code == heif_error_Ok &&
              heif_context_get_primary_image_handle(context, &handle).code == heif_error_Ok &&
              heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr).code ==
                  heif_error_Ok;
    if (image)
        heif_image_release(image);
    if (handle)
        heif_image_handle_release(handle);
    heif_context_free(context);
    return ok;
}

class RecordingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ms;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                ms[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// libheif and dav1d decode on several threads: these rows count the whole process.
double ProcessCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (double(u.ru_utime.tv_sec) + double(u.ru_stime.tv_sec)) * 1e3 +
           (double(u.ru_utime.tv_usec) + double(u.ru_stime.tv_usec)) / 1e3;
}

double WallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long StatusKb(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string k = std::string(key) + ":";
    while (std::getline(in, line))
        if (line.rfind(k, 0) == 0)
            return std::stol(line.substr(k.size()));
    return -1;
}

// Peak resident memory added by one load (the peak counter is reset first).
double PeakExtraMb(const std::string& path, int size, bool keepAspect, bool codec)
{
    { std::ofstream("/proc/self/clear_refs") << "5"; }
    const long before = StatusKb("VmRSS");
    LoadOnce(path, size, keepAspect, codec);
    const long peak = StatusKb("VmHWM");
    return before < 0 || peak < 0 ? -1 : (peak - before) / 1024.0;
}
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    const std::vector<ImageFixture> fixtures = PrepareImageFixtures();
    for (const ImageFixture& f : fixtures)
        std::printf("fixture %-17s %dx%d %.2f bits per pixel\n", f.name.c_str(), f.width, f.height,
                    BitsPerPixel(f.path, f.width, f.height));

    const ImageFixture& big = fixtures[1];
    std::printf("peak extra memory, 24 MP codec load: %.1f MB (960 fit), %.1f MB (1920 crop)\n",
                PeakExtraMb(big.path, 960, true, true), PeakExtraMb(big.path, 1920, false, true));
    std::printf("peak extra memory, 24 MP own-reader load: %.1f MB (960)\n",
                PeakExtraMb(big.path, 960, false, false));

    // Today's phone and web formats, against the JPEG of the same scene.
    const std::vector<ImageFixture> more = PrepareMoreFormatFixtures(fixtures[3]);
    for (const ImageFixture& f : more) {
        std::printf("fixture %-17s %dx%d %.2f bits per pixel\n", f.name.c_str(), f.width, f.height,
                    BitsPerPixel(f.path, f.width, f.height));
        std::printf("peak extra memory, 12 MP %s codec load: %.1f MB (960 fit)\n", f.name.c_str(),
                    PeakExtraMb(f.path, 960, true, true));
    }
    std::printf("peak extra memory, 12 MP JPEG codec load: %.1f MB (960 fit)\n",
                PeakExtraMb(fixtures[0].path, 960, true, true));
    // Wall and process CPU milliseconds: the format, the JPEG, and the
    // format's bare decode at full size (libheif's, or Qt's for WebP).
    std::map<std::string, std::array<double, 6>> formatRows;
    for (const ImageFixture& f : more) {
        const std::string path = f.path, jpeg = fixtures[0].path, name = f.name;
        benchmark::RegisterBenchmark(("format-vs-jpeg/" + name + "/960").c_str(),
                                     [path, jpeg, name, &formatRows](benchmark::State& state) {
            std::array<double, 6> sum{};
            const bool heif = name.rfind("webp", 0) != 0;
            for (auto _ : state) {
                const double w0 = WallMs(), c0 = ProcessCpuMs();
                if (LoadOnce(path, 960, true, true) != 0)
                    state.SkipWithError("load failed");
                const double w1 = WallMs(), c1 = ProcessCpuMs();
                if (LoadOnce(jpeg, 960, true, true) != 0)
                    state.SkipWithError("jpeg load failed");
                const double w2 = WallMs(), c2 = ProcessCpuMs();
                if (!(heif ? DecodeHeifOnly(path) : DecodeQtOnly(path)))
                    state.SkipWithError("bare decode failed");
                const double w3 = WallMs(), c3 = ProcessCpuMs();
                sum[0] += w1 - w0;
                sum[1] += w2 - w1;
                sum[2] += c1 - c0;
                sum[3] += c2 - c1;
                sum[4] += w3 - w2;
                sum[5] += c3 - c2;
            }
            const double n = static_cast<double>(state.iterations());
            for (double& v : sum)
                v /= n;
            state.counters["ms"] = sum[0];
            state.counters["jpeg_ms"] = sum[1];
            state.counters["ratio"] = sum[1] > 0 ? sum[0] / sum[1] : 0;
            formatRows[name] = sum;
        })->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
    }

    std::vector<Case> cases;
    for (int size : {960, 1280}) {
        for (const ImageFixture& f : fixtures) {
            cases.push_back({&f, size, true, f.name + "/" + std::to_string(size) + "/fit"});
            if (f.jpeg && f.name.rfind("jpeg", 0) == 0)
                cases.push_back({&f, size, false, f.name + "/" + std::to_string(size) + "/crop"});
        }
    }
    // Each iteration times the codec path and its floor back to back, so that
    // both see the same load from the rest of the machine; the ratio is of
    // the sums of CPU time (the work is single-threaded).
    std::map<std::string, std::pair<double, double>> pairs;
    for (const Case& c : cases) {
        const std::string path = c.fixture->path;
        const int scale = c.fixture->jpeg ? ScaleFor(c) : 0;
        benchmark::RegisterBenchmark(("codec-vs-floor/" + c.label).c_str(),
                                     [c, path, scale, &pairs](benchmark::State& state) {
            double codec = 0, floor = 0;
            for (auto _ : state) {
                const double t0 = ThreadCpuMs();
                if (LoadOnce(path, c.size, c.keepAspect, true) != 0)
                    state.SkipWithError("load failed");
                const double t1 = ThreadCpuMs();
                if (!(scale ? DecodeJpegOnly(path, scale) : DecodeQtOnly(path)))
                    state.SkipWithError("decode failed");
                const double t2 = ThreadCpuMs();
                codec += t1 - t0;
                floor += t2 - t1;
            }
            const double n = static_cast<double>(state.iterations());
            state.counters["codec_ms"] = codec / n;
            state.counters["floor_ms"] = floor / n;
            state.counters["ratio"] = floor > 0 ? codec / floor : 0;
            pairs[c.label] = {codec / n, floor / n};
        })->Unit(benchmark::kMillisecond)->MinTime(1.0);
        if (c.fixture->ownReaders && c.keepAspect) {
            benchmark::RegisterBenchmark(("own/" + c.label).c_str(), [c, path](benchmark::State& state) {
                for (auto _ : state)
                    if (LoadOnce(path, c.size, false, false) != 0)
                        state.SkipWithError("load failed");
            })->Unit(benchmark::kMillisecond)->MinTime(0.5);
        }
    }
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nCPU milliseconds per load\n%-28s %7s %10s %9s %7s %7s %9s\n", "case", "scale", "codec ms",
                "floor ms", "ratio", "goal", "own ms");
    for (const Case& c : cases) {
        auto it = pairs.find(c.label);
        if (it == pairs.end() || it->second.second <= 0)
            continue;
        const auto [codec, floor] = it->second;
        auto own = reporter.ms.find("own/" + c.label);
        const bool baseline = c.fixture->name.rfind("jpeg", 0) == 0 && c.keepAspect;
        const std::string scale = c.fixture->jpeg ? std::to_string(ScaleFor(c)) + "/8" : "-";
        std::printf("%-28s %7s %10.1f %9.1f %6.2fx %6.2fx", c.label.c_str(), scale.c_str(), codec, floor,
                    codec / floor, baseline ? 1.25 : 1.5);
        if (own != reporter.ms.end())
            std::printf(" %9.1f", own->second);
        std::printf("\n");
    }

    std::printf("\nMilliseconds per 12 MP photo into 960 (fit), against the JPEG of the same scene\n"
                "%-12s %9s %9s %7s %6s %10s %10s %7s %11s %11s\n",
                "format", "wall ms", "jpeg ms", "ratio", "goal", "cpu ms", "jpeg cpu", "ratio", "bare wall", "bare cpu");
    for (const auto& [name, v] : formatRows) {
        const double goal = name.rfind("webp", 0) == 0 ? 1.5 : 2.0;
        std::printf("%-12s %9.1f %9.1f %6.2fx %5.1fx %10.1f %10.1f %6.2fx %11.1f %11.1f\n", name.c_str(), v[0], v[1],
                    v[1] > 0 ? v[0] / v[1] : 0, goal, v[2], v[3], v[3] > 0 ? v[2] / v[3] : 0, v[4], v[5]);
    }
    return 0;
}
