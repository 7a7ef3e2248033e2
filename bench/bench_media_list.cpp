// Builds the image list of a photo library of 100,000 files in about 2,000
// folders and compares it with a plain std::filesystem walk that only tests
// the five image extensions. The tree is generated once and kept under the
// temporary folder for later runs.
#include "app/saver_settings.h"
#include "media/file_finder.h"
#include "media/image_list.h"
#include "media/path_helpers.h"
#include "media/ascii_fold.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
constexpr int kFolders = 2000;
constexpr int kFiles = 100000;
constexpr int kMaxDepth = 6;

// Bump the version when the shape of the tree changes.
const fs::path& TreeRoot()
{
    static const fs::path root = fs::temp_directory_path() / "tsv-bench-media-tree-v1";
    return root;
}

void GenerateTree()
{
    const fs::path& root = TreeRoot();
    const fs::path marker = root / ".complete";
    if (fs::exists(marker))
        return;
    std::fprintf(stderr, "Generating %d files in %d folders under %s ...\n", kFiles, kFolders,
                 root.c_str());
    fs::remove_all(root);
    fs::create_directories(root);

    std::mt19937 rng(20240601);
    struct Folder {
        fs::path path;
        int depth;
    };
    std::vector<Folder> folders{{root, 0}};
    while (static_cast<int>(folders.size()) < kFolders) {
        const Folder& parent = folders[rng() % folders.size()];
        if (parent.depth >= kMaxDepth)
            continue;
        bool hidden = rng() % 40 == 0;
        char name[32];
        std::snprintf(name, sizeof name, "%sAlbum %04zu", hidden ? "." : "", folders.size());
        Folder f{parent.path / name, parent.depth + 1};
        fs::create_directory(f.path);
        folders.push_back(std::move(f));
    }
    // Mixed letter case and some files that are no images.
    static const std::array<const char*, 13> exts = {"jpg", "jpg", "jpg", "JPG", "JPG", "jpeg", "JPEG",
                                                     "gif", "bmp", "png", "PNG", "xmp", "mov"};
    // Decide every file first, then create them folder by folder. The files
    // are empty hard links to a few seed files outside the tree: a link is
    // many times quicker to make than a new file, and the walk cannot tell.
    std::vector<std::vector<std::string>> names(folders.size());
    for (int i = 0; i < kFiles; ++i) {
        std::size_t folder = rng() % folders.size();
        bool hidden = rng() % 50 == 0;
        char name[48];
        std::snprintf(name, sizeof name, "%sIMG_%06d.%s", hidden ? "." : "", i, exts[rng() % exts.size()]);
        names[folder].emplace_back(name);
    }
    const fs::path seeds = root.string() + ".seed";
    fs::remove_all(seeds);
    fs::create_directories(seeds);
    constexpr int kLinksPerSeed = 20000; // well below the file system's link limit
    int made = 0;
    std::string seed;
    for (std::size_t f = 0; f < folders.size(); ++f) {
        int dir = ::open(folders[f].path.c_str(), O_RDONLY | O_DIRECTORY);
        if (dir < 0)
            continue;
        for (const std::string& name : names[f]) {
            if (made++ % kLinksPerSeed == 0) {
                seed = (seeds / ("seed" + std::to_string(made / kLinksPerSeed))).string();
                std::ofstream{seed};
            }
            if (::linkat(AT_FDCWD, seed.c_str(), dir, name.c_str(), 0) != 0)
                ::mknodat(dir, name.c_str(), S_IFREG | 0644, 0);
        }
        ::close(dir);
    }
    std::ofstream(marker) << "ok\n";
}

bool HasImageExtension(const fs::path& p)
{
    static const std::array<std::string_view, 5> wanted = {".jpg", ".jpeg", ".gif", ".bmp", ".png"};
    const std::string ext = p.extension().string();
    for (std::string_view w : wanted) {
        if (ext.size() != w.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < w.size() && same; ++i)
            same = FoldAscii(ext[i]) == w[i];
        if (same)
            return true;
    }
    return false;
}

// The reference: the standard library's walk, collecting the matching paths.
void BM_PlainWalk(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(TreeRoot())) {
            if (entry.is_regular_file() && HasImageExtension(entry.path()))
                found.push_back(entry.path().string());
        }
        benchmark::DoNotOptimize(found.data());
        state.counters["files"] = static_cast<double>(found.size());
    }
}

// The reference without collecting: the walk and the extension test alone.
void BM_PlainWalkTestOnly(benchmark::State& state)
{
    for (auto _ : state) {
        int n = 0;
        for (const auto& entry : fs::recursive_directory_iterator(TreeRoot()))
            n += entry.is_regular_file() && HasImageExtension(entry.path());
        benchmark::DoNotOptimize(n);
        state.counters["files"] = n;
    }
}

void PrepareSettings(CSaverSettings& settings)
{
    settings.ImageFolders = {TreeRoot().string()};
    settings.Recursive = 1;
    settings.ShowPng = 1;
    settings.ImageSortType = 0;
    settings.codecPath = true;
}

void BM_BuildImageList(benchmark::State& state)
{
    CSaverSettings settings;
    PrepareSettings(settings);
    for (auto _ : state) {
        int n = BuildImageList(settings, false);
        benchmark::DoNotOptimize(n);
        state.counters["files"] = n;
    }
}

void BM_BuildImageListCounting(benchmark::State& state)
{
    CSaverSettings settings;
    PrepareSettings(settings);
    for (auto _ : state) {
        int n = BuildImageList(settings, true);
        benchmark::DoNotOptimize(n);
        state.counters["files"] = n;
    }
}

// The ordering step alone, on the collected list.
void BM_SortByPath(benchmark::State& state)
{
    CSaverSettings settings;
    PrepareSettings(settings);
    StringList collected;
    FileFinder().ListFilesByMasks(TreeRoot().string(), ImageMasks(settings), FileAttr::kPlainFiles, true, collected);
    StringList list;
    for (auto _ : state) {
        state.PauseTiming();
        list = collected; // the old copy is freed here too, outside the timing
        state.ResumeTiming();
        SortFileList(list, 0, false);
        benchmark::DoNotOptimize(list.data());
    }
}

// What one walk per mask costs, for comparison with the single walk.
void BM_OneWalkPerMask(benchmark::State& state)
{
    CSaverSettings settings;
    PrepareSettings(settings);
    for (auto _ : state) {
        StringList found;
        FileFinder finder;
        for (std::string_view mask : ImageMasks(settings))
            finder.ListFilesRecursive(JoinPath(TreeRoot().string(), mask), FileAttr::kPlainFiles, true, found);
        benchmark::DoNotOptimize(found.data());
        state.counters["files"] = static_cast<double>(found.size());
    }
}

BENCHMARK(BM_PlainWalkTestOnly)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainWalk)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_BuildImageList)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_BuildImageListCounting)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_SortByPath)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_OneWalkPerMask)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(3)->ReportAggregatesOnly(true);

// Keeps each benchmark's real time per iteration for the closing ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred)
                continue;
            // The median of the repetitions when there is one, else the single run.
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            const std::string& name = r.run_name.function_name;
            if (median || (r.run_type == Run::RT_Iteration && !medians.count(name))) {
                realTimes[name] = r.GetAdjustedRealTime();
                cpuTimes[name] = r.GetAdjustedCPUTime();
                if (median)
                    medians.insert(name);
            }
        }
    }
    std::map<std::string, double> realTimes;
    std::map<std::string, double> cpuTimes;
    std::set<std::string> medians;
};
} // namespace

int main(int argc, char** argv)
{
    GenerateTree();
    // Warm the directory cache so that every variant reads from memory.
    for (int i = 0; i < 2; ++i)
        for (const auto& e : fs::recursive_directory_iterator(TreeRoot()))
            benchmark::DoNotOptimize(&e);

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto ratio = [](const std::map<std::string, double>& times, const char* a, const char* b) {
        auto x = times.find(a), y = times.find(b);
        return (x == times.end() || y == times.end() || y->second <= 0) ? -1.0 : x->second / y->second;
    };
    // CPU time is printed too: on a busy machine it is the steadier figure.
    auto print = [&](const char* label, const char* a, const char* b, const char* goal) {
        double real = ratio(reporter.realTimes, a, b), cpu = ratio(reporter.cpuTimes, a, b);
        if (real >= 0)
            std::printf("%s: %.2f (CPU time %.2f)%s\n", label, real, cpu, goal);
    };
    print("BuildImageList / plain walk", "BM_BuildImageList", "BM_PlainWalk", "  goal: at most 1.20");
    print("BuildImageList / plain walk without collecting", "BM_BuildImageList", "BM_PlainWalkTestOnly", "");
    print("BuildImageList, counting mode / plain walk", "BM_BuildImageListCounting", "BM_PlainWalk", "");
    print("one walk per mask / plain walk", "BM_OneWalkPerMask", "BM_PlainWalk", "");
    return 0;
}
