// DIB-to-bitmap conversion of a 640 x 480 photo-like image: on a true-colour
// display next to Qt's own BMP decode of the same bytes, and on an 8-bit
// display (median cut and error diffusion) next to a bare nearest-colour
// mapping over the same palette with no cache and no diffusion.
#include "imaging/own/bitmap_ex.h"
#include "imaging/own/palette.h"
#include "imaging/own/quantiser.h"

#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kW = 640, kH = 480;

const std::vector<std::uint8_t>& PhotoDib()
{
    static const std::vector<std::uint8_t> dib = [] {
        PackedDib block = CreateDib(kW, kH, 24, false);
        const std::size_t row = std::size_t(DibRowBytes(kW, 24));
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                std::uint8_t* p = block.data() + 40 + std::size_t(y) * row + 3 * std::size_t(x);
                p[0] = std::uint8_t(128 + 100 * std::sin(x * 0.01 + y * 0.02));
                p[1] = std::uint8_t(128 + 90 * std::cos(y * 0.013));
                p[2] = std::uint8_t((x * 255) / kW ^ ((x * y) & 15));
            }
        return std::vector<std::uint8_t>(block.data(), block.data() + block.size());
    }();
    return dib;
}

PackedDib Block()
{
    const auto& bytes = PhotoDib();
    PackedDib block = PackedDib::Allocate(bytes.size());
    std::memcpy(block.data(), bytes.data(), bytes.size());
    return block;
}

void BM_DibToBitmapTrueColour(benchmark::State& state)
{
    SetDisplayDepth(24);
    for (auto _ : state) {
        CBitmapEx r;
        r.SetDib(Block());
        benchmark::DoNotOptimize(r.DibToBitmap());
    }
}

void BM_QtBmpDecode(benchmark::State& state)
{
    const auto& dib = PhotoDib();
    std::vector<std::uint8_t> file(14 + dib.size());
    file[0] = 'B';
    file[1] = 'M';
    const std::uint32_t size = std::uint32_t(file.size()), offset = 54;
    std::memcpy(file.data() + 2, &size, 4);
    std::memcpy(file.data() + 10, &offset, 4);
    std::memcpy(file.data() + 14, dib.data(), dib.size());
    for (auto _ : state) {
        // The copy a device bitmap needs is part of the work on both sides.
        PackedDib copy = Block();
        benchmark::DoNotOptimize(copy.data());
        QImage img;
        img.loadFromData(file.data(), int(file.size()), "BMP");
        benchmark::DoNotOptimize(img.constBits());
    }
}

void BM_DibToBitmapEightBit(benchmark::State& state)
{
    SetDisplayDepth(8);
    for (auto _ : state) {
        CBitmapEx r;
        r.SetDib(Block());
        benchmark::DoNotOptimize(r.DibToBitmap());
    }
    SetDisplayDepth(24);
}

void BM_BareNearestMapping(benchmark::State& state)
{
    SetDisplayDepth(8);
    CBitmapEx r;
    r.SetDib(Block());
    r.DibToBitmap();
    const DevicePalette pal = *r.palette;
    SetDisplayDepth(24);
    CBitmapEx t;
    t.SetDib(Block());
    t.DibToBitmap();
    const std::vector<std::uint32_t> pixels = t.bitmap->pixels;
    std::vector<std::uint8_t> out(pixels.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < pixels.size(); ++i)
            out[i] = std::uint8_t(NearestPaletteIndex(pal, pixels[i]));
        benchmark::DoNotOptimize(out.data());
    }
}

BENCHMARK(BM_DibToBitmapTrueColour)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_QtBmpDecode)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DibToBitmapEightBit)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_BareNearestMapping)->Unit(benchmark::kMillisecond)->MinTime(1.0);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                cpuTimes[r.run_name.function_name] = r.GetAdjustedCPUTime();
    }
    std::map<std::string, double> cpuTimes;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    auto print = [&](const char* label, const char* a, const char* b) {
        const auto x = reporter.cpuTimes.find(a), y = reporter.cpuTimes.find(b);
        if (x != reporter.cpuTimes.end() && y != reporter.cpuTimes.end() && y->second > 0)
            std::printf("%s: %.2f (CPU time)\n", label, x->second / y->second);
    };
    print("DibToBitmap true colour / Qt BMP decode", "BM_DibToBitmapTrueColour", "BM_QtBmpDecode");
    print("DibToBitmap 8-bit display / bare nearest mapping", "BM_DibToBitmapEightBit", "BM_BareNearestMapping");
    return 0;
}
