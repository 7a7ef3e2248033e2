// The kept shuffle over 100,000 photos: the start of a show (reading the state
// file and taking the photos shown out of the list), each photo shown (the
// draw and the record appended), the end of a cycle, and the state file's
// size. The references, measured in the same run: one copy of the list (which
// the build makes anyway) and the draw alone, without the state file.
#include "app/saver_settings.h"
#include "media/image_selection.h"
#include "media/kept_shuffle.h"
#include "media/list_choice.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {
constexpr int kPhotos = 100000;

// Paths as a photo library has them: year, album, camera file name.
const StringList& Library()
{
    static const StringList list = [] {
        StringList l;
        l.reserve(kPhotos);
        char path[128];
        for (int i = 0; i < kPhotos; ++i) {
            std::snprintf(path, sizeof path, "/home/someone/Pictures/%d/Album %04d/IMG_%08d.jpg", 2005 + i / 6000,
                          i / 50, i);
            l.emplace_back(path);
        }
        return l;
    }();
    return list;
}

const fs::path& Folder()
{
    static const fs::path folder = [] {
        fs::path f = fs::temp_directory_path() / ("tsv-bench-shuffle-" + std::to_string(getpid()));
        fs::create_directories(f);
        return f;
    }();
    return folder;
}

std::string StatePath() { return (Folder() / "Tessaview.shuffle").string(); }

// Stores the first `shown` photos of a shuffled library as shown, plus
// `removed` keys of photos no longer listed.
void WriteState(int shown, int removed)
{
    std::vector<std::uint64_t> keys;
    std::mt19937 rng(7);
    StringList order = Library();
    std::shuffle(order.begin(), order.end(), rng);
    for (int i = 0; i < shown; ++i)
        keys.push_back(PhotoKey(order[static_cast<std::size_t>(i)]));
    for (int i = 0; i < removed; ++i)
        keys.push_back(PhotoKey("/gone/" + std::to_string(i) + ".jpg"));
    ShuffleStateFile(StatePath()).Replace(keys);
}

// Reference: one copy of the whole list.
void BM_ListCopy(benchmark::State& state)
{
    for (auto _ : state) {
        StringList copy = Library();
        benchmark::DoNotOptimize(copy.data());
        state.PauseTiming();
        copy = {};
        state.ResumeTiming();
    }
}

// The start of a show with state.range(0) photos shown and state.range(1)
// photos of the file no longer listed (the file is then rewritten).
void BM_KeptStart(benchmark::State& state)
{
    const int shown = static_cast<int>(state.range(0)), removed = static_cast<int>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        WriteState(shown, removed);
        StringList all = Library(), files = all;
        KeptShuffle kept(StatePath());
        state.ResumeTiming();
        kept.Start(files, all);
        benchmark::DoNotOptimize(files.data());
        state.PauseTiming();
        state.counters["remaining"] = static_cast<double>(files.size());
        state.counters["file bytes"] = static_cast<double>(fs::file_size(StatePath()));
        files = {};
        all = {};
        state.ResumeTiming();
    }
}

// A show's settings over the library; with `kept`, the kept shuffle started
// from a state file with `shown` photos shown.
std::unique_ptr<CSaverSettings> ShowSettings(bool kept, int shown)
{
    auto settings = std::make_unique<CSaverSettings>();
    settings->AllImageFiles = Library();
    settings->ImageFiles = Library();
    if (kept) {
        WriteState(shown, 0);
        settings->KeepShuffle = 1;
        StartKeptShuffle(*settings, StatePath());
    }
    return settings;
}

// One photo shown a step; the list is refilled, untimed, before it is half gone.
void Draws(benchmark::State& state, bool kept)
{
    auto settings = ShowSettings(kept, 0);
    for (auto _ : state) {
        if (settings->ImageFiles.size() < kPhotos / 2) {
            state.PauseTiming();
            settings->ImageFiles = Library();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(ChooseBitmap(*settings, true));
    }
}

// The last photo of a cycle a step: the draw refills the list from the whole
// library; with `kept`, the file is replaced by an empty cycle too.
void CycleEnds(benchmark::State& state, bool kept)
{
    auto settings = ShowSettings(kept, kPhotos - 1);
    for (auto _ : state) {
        state.PauseTiming();
        settings->ImageFiles = {Library().back()};
        state.ResumeTiming();
        benchmark::DoNotOptimize(ChooseBitmap(*settings, true));
    }
}

// Without the state file (KeepShuffle 0): the references.
void BM_Draw(benchmark::State& state) { Draws(state, false); }
void BM_CycleEnd(benchmark::State& state) { CycleEnds(state, false); }
// With it: the draw and the record appended; the cycle's end.
void BM_KeptDraw(benchmark::State& state) { Draws(state, true); }
void BM_KeptCycleEnd(benchmark::State& state) { CycleEnds(state, true); }

BENCHMARK(BM_ListCopy)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_KeptStart)
    ->Args({0, 0})
    ->Args({50000, 0})
    ->Args({99999, 0})
    ->Args({50000, 10000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Draw)->Unit(benchmark::kMicrosecond)->Iterations(20000)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_KeptDraw)->Unit(benchmark::kMicrosecond)->Iterations(20000)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_CycleEnd)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_KeptCycleEnd)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3)->ReportAggregatesOnly(true);

// Keeps each benchmark's median real and CPU time per iteration.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") {
                real[r.run_name.str()] = r.GetAdjustedRealTime();
                cpu[r.run_name.str()] = r.GetAdjustedCPUTime();
            }
    }
    std::map<std::string, double> real, cpu;
};
} // namespace

int main(int argc, char** argv)
{
    Library();
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto find = [&](const std::map<std::string, double>& m, const std::string& name) {
        auto it = m.find(name);
        return it == m.end() ? -1.0 : it->second;
    };
    // Real time against a goal, and against the reference in both real and CPU
    // time (the steadier figure on a busy machine).
    auto print = [&](const char* label, const std::string& name, const std::string& reference, const char* unit,
                     const char* goal) {
        double t = find(reporter.real, name), r = find(reporter.real, reference);
        double tc = find(reporter.cpu, name), rc = find(reporter.cpu, reference);
        if (t < 0 || r <= 0 || rc <= 0)
            return;
        std::printf("%s: %.3f %s (%s); / %s: %.2f (CPU time %.2f)\n", label, t, unit, goal, reference.c_str(), t / r,
                    tc / rc);
    };
    const char* suffix = "/iterations:10/repeats:3";
    auto start = [&](const char* args) { return std::string("BM_KeptStart/") + args + suffix; };
    const std::string copy = "BM_ListCopy/iterations:20/repeats:3";
    print("start, none shown", start("0/0"), copy, "ms", "goal: at most 50 ms");
    print("start, 50,000 shown", start("50000/0"), copy, "ms", "goal: at most 50 ms");
    print("start, 99,999 shown", start("99999/0"), copy, "ms", "goal: at most 50 ms");
    print("start, 50,000 shown, 10,000 removed (file rewritten)", start("50000/10000"), copy, "ms",
          "goal: at most 50 ms");
    print("photo shown", "BM_KeptDraw/iterations:20000/repeats:3", "BM_Draw/iterations:20000/repeats:3", "us",
          "goal: at most 1000 us");
    print("last photo of a cycle", "BM_KeptCycleEnd/iterations:20/repeats:3", "BM_CycleEnd/iterations:20/repeats:3",
          "ms", "goal: at most 1 ms");

    WriteState(kPhotos - 1, 0);
    std::printf("state file, 99,999 of 100,000 shown: %ju bytes (goal: at most 1 MB, 1048576 bytes)\n",
                static_cast<std::uintmax_t>(fs::file_size(StatePath())));
    std::error_code ec;
    fs::remove_all(Folder(), ec);
    return 0;
}
