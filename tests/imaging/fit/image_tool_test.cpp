// tessaview-image, the loader as the show runs it, against a file whose
// header claims far more pixels than it holds: refused on both decode paths
// at once, without setting the claimed gigabyte aside.
#include "support/support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
struct ToolRun {
    int exitCode = -1;
    long peakKb = 0;
    double seconds = 0;
    std::string output;
};

ToolRun RunTool(const std::vector<std::string>& args, const fs::path& outputFile)
{
    ToolRun run;
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> argv{TSV_IMAGE_TOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_t pid = support::StartChild(argv, {.output = outputFile});
    rusage usage{};
    if (auto status = support::WaitChild(pid, std::chrono::seconds(60), &usage)) {
        run.exitCode = support::ExitCode(*status);
        run.peakKb = usage.ru_maxrss;
    } else {
        support::StopChild(pid);
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.output = support::ReadAll(outputFile);
    return run;
}
} // namespace

TEST(ImageTool, AGigabyteClaimInSixtyBytesIsRefusedOnBothPaths)
{
    support::TempFolder dir("tool");
    // 16384 x 16384 pixels of 32 bits, uncompressed: 1 GiB claimed, 6 bytes held.
    std::vector<std::uint8_t> bmp = {'B', 'M', 60, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                     0, 0x40, 0, 0, 0, 0x40, 0, 0, 1, 0, 32, 0};
    bmp.resize(60, 0);
    const fs::path file = dir / "claim.bmp";
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));

    struct Path {
        const char* option;
        const char* logged;
    };
    for (const Path& path : {Path{"--no-rotate", "Error 3 loading file="}, Path{"--own-readers", "Error -2 loading file="}}) {
        ToolRun run = RunTool({path.option, "--no-output", file.string()}, dir / "output.txt");
        EXPECT_EQ(run.exitCode, 1) << path.option << "\n" << run.output;
        EXPECT_NE(run.output.find(path.logged), std::string::npos) << path.option << "\n" << run.output;
        // The tool itself with Qt loaded needs some tens of megabytes.
        EXPECT_LT(run.peakKb, 100 * 1024) << path.option;
        EXPECT_LT(run.seconds, 3.0) << path.option;
        std::printf("%s: peak %ld KB, %.2f s\n", path.option, run.peakKb, run.seconds);
    }
}
